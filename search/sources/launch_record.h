// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// The launch record: the bookmarks opened from the program, for ordering by
// use. One line per open, "SECONDS<TAB>WEIGHT<TAB>ADDRESS", appended with one
// write each; SECONDS is the time since 1970, WEIGHT what the line counts for
// at that time (1 for an open; more for a line compaction made).
namespace zaptrove {

// An open loses half its weight every 30 days: a bookmark opened daily last
// month still comes before one opened as often half a year ago, and a week or
// two away from one changes little.
inline constexpr double kLaunchHalfLifeSeconds = 30.0 * 24 * 60 * 60;

// The record is compacted (one line per address, weights decayed to the time
// of compaction, the lightest left out) once it grows past this many bytes, to
// at most half of them; it then holds no more than this and one line.
inline constexpr std::size_t kLaunchRecordBound = std::size_t{64} * 1024;
// While compaction cannot be made (the file held open by another program, its
// lock held), opens are still appended, and compaction tried at each, until
// the record holds this many bytes; past them opens are not recorded.
inline constexpr std::size_t kLaunchRecordCeiling = 4 * kLaunchRecordBound;

// Addresses longer than this are not recorded (a line stays short).
inline constexpr std::size_t kLongestRecordedAddress = 4096;

// The time now, in seconds since 1970.
std::int64_t fnSecondsSince1970();

// The record's place: launches.tsv in the per-user state folder; empty where
// there is none.
std::string fnLaunchRecordPath();

// Appends an open of pAddress at pNow (seconds since 1970) to the record at
// pRecord, making its folder when missing, the record compacted first when it
// grew past kLaunchRecordBound. Opens and compactions of several processes
// take turns through a lock file beside it, so none is lost. False when
// nothing was recorded (no such folder can be made, an address that cannot be
// a line of the record, a record at kLaunchRecordCeiling).
bool fnRecordLaunch(const std::string& pRecord, std::string_view pAddress, std::int64_t pNow);

// Each address's weight at pNow: its lines' weights halved for every
// kLaunchHalfLifeSeconds of their age. Lines that are not sound (cut short,
// damaged, not of this format) are skipped; a record larger than the
// ceiling allows is read only to there.
std::unordered_map<std::string, double> fnLaunchWeights(const std::string& pRecord,
                                                        std::int64_t pNow);

} // namespace zaptrove
