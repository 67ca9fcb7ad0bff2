// Filled in by the VISA library.
