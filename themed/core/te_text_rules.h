// The theme description strings' tokenizers, length-prefixed strings on
// streams, and the keyboard timings from their settings. Windows-free.
#pragma once
#include <istream>
#include <ostream>
#include <string>

namespace te {

// Takes characters from the front of s up to and including the first
// separator (space ( ) , : ; =), the others into token; both are trimmed after.
void ExtractWord(std::string& s, std::string& token);
// The same, the scan ending at the first character of delimiters.
void ExtractToken(std::string& s, const std::string& delimiters, std::string& token);
// Leading and trailing spaces and control characters removed.
std::string Trim(const std::string& s);

// A 32-bit little-endian signed length, then the bytes (no terminator).
void WriteStreamString(std::ostream& out, const std::string& s);
// Reads what WriteStreamString wrote. A negative length, or a stream that ends
// before the length's bytes, raises fw::EReadError and leaves s empty.
void ReadStreamString(std::istream& in, std::string& s);

// From SPI_GETKEYBOARDDELAY (0-3) and SPI_GETKEYBOARDSPEED (0-31).
int KeyboardDelayFromSetting(int v);   // (v + 1) * 200
int KeyboardRepeatFromSetting(int v);  // round(1000 / ((v + 1) * 2.3)), ties to even

}  // namespace te
