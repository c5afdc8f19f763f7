#pragma once
#include <string>

// libsndfile gives every Ogg stream a random serial number; this rewrites it
// to a fixed value (and the page checksums with it) so the file comes out
// byte for byte the same on every run.
void FixOggSerial(const std::string& path);
