// SPDX-License-Identifier: MIT
#include "search/sources/launch_record.h"

#include "platform/files.h"
#include "platform/separators.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

namespace zaptrove {

namespace {

// Lighter than this, a compaction leaves an address out (about four
// half-lives after a single open).
constexpr double kLightestKept = 0.05;
// No sound line is longer than this.
constexpr std::size_t kLongestLine = kLongestRecordedAddress + 64;

std::string recordLine(std::int64_t seconds, double weight, std::string_view address) {
    char number[32];
    const auto written = std::to_chars(number, number + sizeof number, weight);
    return std::to_string(seconds) + '\t' + std::string(number, written.ptr) + '\t' +
           std::string(address) + '\n';
}

// An address a line can hold: short, and without the bytes that end a field,
// a line or a text.
bool recordable(std::string_view address) {
    return !address.empty() && address.size() <= kLongestRecordedAddress &&
           address.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string_view::npos;
}

// The weight the line gives its address at now; false for a line that is not sound.
bool readLine(std::string_view line, std::int64_t now, std::string_view& address, double& weight) {
    const std::size_t firstTab = line.find('\t');
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (firstTab == std::string_view::npos || secondTab == std::string_view::npos) {
        return false;
    }
    std::int64_t seconds = 0;
    const char* const end = line.data() + firstTab;
    const auto time = std::from_chars(line.data(), end, seconds);
    const char* const weightEnd = line.data() + secondTab;
    const auto weighed = std::from_chars(end + 1, weightEnd, weight);
    address = line.substr(secondTab + 1);
    if (time.ptr != end || time.ec != std::errc() || weighed.ptr != weightEnd ||
        weighed.ec != std::errc() || !std::isfinite(weight) || weight <= 0 ||
        !recordable(address)) {
        return false;
    }
    // A line from the future (a clock set back) counts as made now.
    const double age = static_cast<double>(std::max<std::int64_t>(now - seconds, 0));
    weight *= std::exp2(-age / kLaunchHalfLifeSeconds);
    return true;
}

// The weight of each address that whole, sound lines of the text give at now.
std::unordered_map<std::string, double> weightsIn(std::string_view text, std::int64_t now) {
    std::unordered_map<std::string, double> weights;
    // Only lines ended by a line feed are whole: an open being written, or
    // a record cut short, ends in a part of one.
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        std::string_view address;
        double weight = 0;
        if (readLine(text.substr(0, end), now, address, weight)) {
            weights[std::string(address)] += weight;
        }
        text.remove_prefix(end + 1);
    }
    return weights;
}

// The addresses by weight, heaviest first, in as many lines as fit half the
// bound, each made at now.
std::string compacted(const std::unordered_map<std::string, double>& weights, std::int64_t now) {
    std::vector<std::pair<std::string_view, double>> heaviest(weights.begin(), weights.end());
    std::sort(heaviest.begin(), heaviest.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text;
    for (const auto& [address, weight] : heaviest) {
        const std::string line = recordLine(now, weight, address);
        if (weight < kLightestKept || text.size() + line.size() > kLaunchRecordBound / 2) {
            break;
        }
        text += line;
    }
    return text;
}

} // namespace

std::int64_t fnSecondsSince1970() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string fnLaunchRecordPath() {
    const std::string folder = platform::userStateFolder();
    return folder.empty() ? std::string() : platform::pathIn(folder, "launches.tsv");
}

bool fnRecordLaunch(const std::string& pRecord, std::string_view pAddress, std::int64_t pNow) {
    const std::size_t nameAt = pRecord.find_last_of(platform::kSeparators);
    if (!recordable(pAddress) || nameAt == std::string::npos ||
        !platform::makeFolders(pRecord.substr(0, nameAt))) {
        return false;
    }
    const platform::FileLock lock(pRecord + ".lock");
    std::string before;
    platform::readWholeFile(pRecord, before, kLaunchRecordCeiling + kLongestLine);
    // Compacting without the lock could drop another process's open. A
    // compaction that fails (another program holds the file) leaves the
    // record as it was, to be compacted at a later open.
    if (lock.held() && before.size() > kLaunchRecordBound) {
        std::string shorter = compacted(weightsIn(before, pNow), pNow);
        if (platform::replaceFile(pRecord, shorter)) {
            before = std::move(shorter);
        }
    }
    if (before.size() >= kLaunchRecordCeiling) {
        return false;
    }
    // A line left cut short (a crash, a full disk) is ended first, so that
    // it takes no sound line with it.
    std::string line = recordLine(pNow, 1, pAddress);
    if (!before.empty() && before.back() != '\n') {
        line.insert(0, 1, '\n');
    }
    // What was opened is the user's own business.
    return platform::appendToFile(pRecord, line, true);
}

std::unordered_map<std::string, double> fnLaunchWeights(const std::string& pRecord,
                                                        std::int64_t pNow) {
    std::string bytes;
    platform::readWholeFile(pRecord, bytes, kLaunchRecordCeiling + kLongestLine);
    return weightsIn(bytes, pNow);
}

} // namespace zaptrove
