# The whole bus path against a driver library that answers from given bytes:
# the fuzz target, the replay of its seeds and regression inputs in every build,
# and the tool that records seeds from the simulated mainframe (record-seeds).
set(BUS_PATH_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(fuzz_gpib SHARED ${BUS_PATH_DIR}/fuzzdriver/FuzzGpibDriver.cpp)
set_target_properties(fuzz_gpib PROPERTIES
  CXX_VISIBILITY_PRESET hidden
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzzdriver)
target_link_libraries(fuzz_gpib PRIVATE valdina_gpib_codes ${CMAKE_DL_LIBS})

add_library(bus_path STATIC ${BUS_PATH_DIR}/BusPath.cpp)
target_include_directories(bus_path PUBLIC ${BUS_PATH_DIR})
target_link_libraries(bus_path PUBLIC valdina_cli_lib PRIVATE nlohmann_json::nlohmann_json ${CMAKE_DL_LIBS})
target_compile_definitions(bus_path PRIVATE FUZZ_DRIVER="$<TARGET_FILE:fuzz_gpib>")
add_dependencies(bus_path fuzz_gpib)

valdina_add_test(bus_path_replay_test SIM
  SOURCES ${BUS_PATH_DIR}/BusPathReplayTest.cpp
  LIBS bus_path valdina_test_support)
target_compile_definitions(bus_path_replay_test PRIVATE BUS_PATH_INPUTS="${BUS_PATH_DIR}")

if(TARGET zentra_sim)
  add_executable(record_bus_seed ${BUS_PATH_DIR}/RecordBusSeed.cpp)
  target_link_libraries(record_bus_seed PRIVATE bus_path)
  target_compile_definitions(record_bus_seed PRIVATE SIM_DRIVER="$<TARGET_FILE:zentra_sim>")
  add_dependencies(record_bus_seed zentra_sim)
endif()

if(VALDINA_FUZZ)
  add_executable(bus_path_fuzz ${BUS_PATH_DIR}/BusPathFuzz.cpp)
  target_link_libraries(bus_path_fuzz PRIVATE bus_path)
  target_link_options(bus_path_fuzz PRIVATE -fsanitize=fuzzer)
  # New inputs go to the build tree; the checked-in seeds are only read.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/bus_path_corpus)
  add_test(NAME BusPathFuzz
    COMMAND bus_path_fuzz -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/ -max_total_time=40 -seed=1
            -timeout=10 -print_final_stats=1
            ${CMAKE_CURRENT_BINARY_DIR}/bus_path_corpus ${BUS_PATH_DIR}/corpus ${BUS_PATH_DIR}/regressions)
  set_tests_properties(BusPathFuzz PROPERTIES LABELS fuzz)
endif()
