#pragma once
// The driver's error codes (iberr) by the names linux-gpib and NI-488.2 give them,
// for lines an operator compares with the driver's documentation.

// "EARG", or "" for a code no driver defines.
const char* GpibErrorName(int iberr);
// What the code means, in a few words: "invalid argument"; "" when unknown.
const char* GpibErrorMeaning(int iberr);
