// Keeps the library non-empty while its parts are being written.
