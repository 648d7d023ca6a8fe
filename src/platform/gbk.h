// UTF-8 <-> GBK (code page 936) conversion for log lines and label text.
#pragma once

#include <string>
#include <string_view>

// Converts UTF-8 to GBK; characters without a GBK form become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Converts GBK to UTF-8; invalid sequences become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
