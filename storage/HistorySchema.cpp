#include "HistorySchema.h"

namespace {

// Version 1: runs, the cards each run judged, writes with their bytes, saved images.
// Times are UTC text, so they sort as they read. A write row is made before the
// first byte goes out (outcome NULL) and completed after.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE runs (
    id        INTEGER PRIMARY KEY,
    started   TEXT NOT NULL,
    ended     TEXT,
    station   TEXT NOT NULL,
    operator  TEXT NOT NULL,
    program   TEXT NOT NULL,
    command   TEXT NOT NULL,
    board     INTEGER NOT NULL,
    address   INTEGER NOT NULL,
    outcome   TEXT
);
-- Kept in card order: one card's results lie together, so its history is read
-- from a few pages however large the store grows.
CREATE TABLE card_results (
    serial    TEXT NOT NULL,
    run       INTEGER NOT NULL REFERENCES runs(id),
    channel   INTEGER NOT NULL,
    model     TEXT NOT NULL,
    state     INTEGER NOT NULL,
    error     TEXT NOT NULL,
    blocks    TEXT NOT NULL,
    PRIMARY KEY (serial, run, channel)
) WITHOUT ROWID;
CREATE INDEX card_results_by_channel ON card_results(channel, run);
CREATE TABLE writes (
    id           INTEGER PRIMARY KEY,
    run          INTEGER NOT NULL REFERENCES runs(id),
    at           TEXT NOT NULL,
    channel      INTEGER NOT NULL,
    serial       TEXT NOT NULL,
    kind         TEXT NOT NULL,
    image_file   TEXT NOT NULL,
    image_sha256 TEXT NOT NULL,
    outcome      TEXT
);
CREATE INDEX writes_by_serial ON writes(serial);
CREATE INDEX writes_by_channel ON writes(channel);
CREATE TABLE written_bytes (
    write      INTEGER NOT NULL REFERENCES writes(id),
    address    INTEGER NOT NULL,
    before     INTEGER NOT NULL,
    written    INTEGER NOT NULL,
    read_back  INTEGER,
    PRIMARY KEY (write, address)
) WITHOUT ROWID;
CREATE TABLE saved_images (
    run      INTEGER NOT NULL REFERENCES runs(id),
    at       TEXT NOT NULL,
    channel  INTEGER NOT NULL,
    serial   TEXT NOT NULL,
    file     TEXT NOT NULL,
    sha256   TEXT NOT NULL
);
CREATE INDEX saved_images_by_serial ON saved_images(serial);
CREATE INDEX saved_images_by_channel ON saved_images(channel);
)sql";

constexpr const char* kMigrations[] = {kVersion1};

} // namespace

std::span<const char* const> HistoryMigrations()
{
    return kMigrations;
}
