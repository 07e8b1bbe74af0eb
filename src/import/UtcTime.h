#pragma once
// UTC times as the flight files write them and as the exports write them
// back: seconds since 1970-01-01 00:00 UTC in a double (fractions kept).

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace trelvano {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int64_t year, int month, int day);

// An xsd:dateTime as GPX files write it: "YYYY-MM-DDThh:mm:ss", optional
// fraction, then "Z", "+hh:mm", "-hh:mm", "+hhmm" or nothing (read as UTC);
// ASCII blanks around it are allowed. Nothing for any other text or a field
// out of range.
std::optional<double> parseIsoTime(std::string_view text);

// The date of an IGC header line "HFDTEddmmyy" or "HFDTEDATE:ddmmyy,NN" as
// seconds at its midnight; two-digit years 80 … 99 are 1980 … 1999, the others
// 2000 … 2079. Nothing for any other line or an impossible date.
std::optional<double> igcDate(std::string_view line);

// "YYYY-MM-DDThh:mm:ssZ", with up to three decimals of the second where the
// time has them ("…:05.25Z").
QString isoTimeText(double seconds);

}  // namespace trelvano
