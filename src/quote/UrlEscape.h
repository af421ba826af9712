#pragma once

#include <string>

// Percent-encodes the bytes of a query value that a URL cannot carry as they
// are or that would change the URL's structure: space, control bytes, bytes
// from 0x80 on, and " # % & + < > \ ` { | }. Every other byte stays as typed,
// so "CA:RY" and "BRK.A" pass unchanged.
std::string EscapeQueryValue(const std::string& value);
