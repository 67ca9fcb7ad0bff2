// Marks a definition as one of the library's exported functions; everything
// else the driver defines stays hidden.
#pragma once

#define VARNEL_API extern "C" __attribute__((visibility("default")))
