// Byte-level damage to the sample: cut off, bytes flipped, header fields and pages overwritten.
#include <cstdint>
#include <cstdio>

#include "hostile_cases.h"
#include "hostile_run.h"

namespace hostile {

namespace {

const size_t kPage = 4096;

HostileCase BytesCase(const std::string& name, std::string bytes) {
    return {name, [bytes](const std::wstring& path, std::string* error) {
                if (WriteBytes(path, bytes)) return true;
                if (error) *error = "cannot write the file";
                return false;
            }};
}

std::string Hex(size_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%zx", value);
    return text;
}

// The sample with bytes at offset replaced.
std::string Patched(std::string bytes, size_t offset, const std::string& with) {
    if (offset + with.size() <= bytes.size()) bytes.replace(offset, with.size(), with);
    return bytes;
}

std::string Big16(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }
std::string Big32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>((value >> 16) & 0xFF),
            static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

}  // namespace

std::vector<HostileCase> ByteCases(SuiteSize size, const std::string& sample) {
    std::vector<HostileCase> cases;
    const size_t total = sample.size();
    const size_t pages = total / kPage;

    // Cut off: inside the header, at and around every page boundary, and at spread-out points.
    std::vector<size_t> cuts = {0, 1, 15, 16, 99, 100, 101, 1024, kPage - 1, kPage + 1};
    for (size_t p = 2; p < pages; ++p) {
        if (size == SuiteSize::Ci && p % 2 != 0) continue;
        cuts.push_back(p * kPage);
        if (size == SuiteSize::Local) {
            cuts.push_back(p * kPage - 1);
            cuts.push_back(p * kPage + 100);
        }
    }
    const size_t spread = size == SuiteSize::Ci ? 4 : 60;
    for (size_t i = 1; i <= spread; ++i) cuts.push_back(total * i / (spread + 1) + 7 * i);
    for (const size_t cut : cuts) {
        if (cut < total) cases.push_back(BytesCase("cut at " + std::to_string(cut), sample.substr(0, cut)));
    }

    // One byte flipped, at reproducible spread-out places; then bursts of flips.
    uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    const int flips = size == SuiteSize::Ci ? 16 : 240;
    for (int i = 0; i < flips; ++i) {
        const size_t at = next() % total;
        const char mask = static_cast<char>(1 + next() % 255);
        std::string bytes = sample;
        bytes[at] = static_cast<char>(bytes[at] ^ mask);
        cases.push_back(BytesCase("byte " + Hex(at) + " flipped", bytes));
    }
    const int bursts = size == SuiteSize::Ci ? 3 : 40;
    for (int i = 0; i < bursts; ++i) {
        std::string bytes = sample;
        for (int k = 0; k < 16; ++k) {
            const size_t at = next() % total;
            bytes[at] = static_cast<char>(next());
        }
        cases.push_back(BytesCase("sixteen random bytes, burst " + std::to_string(i + 1), bytes));
    }

    // Whole pages zeroed or filled with noise; the first page holds the schema.
    for (size_t p = 0; p < pages; ++p) {
        if (size == SuiteSize::Ci && p % 4 != 0) continue;
        std::string zero = sample, noise = sample;
        for (size_t k = p * kPage; k < (p + 1) * kPage; ++k) {
            zero[k] = 0;
            noise[k] = static_cast<char>(next());
        }
        if (p > 0) cases.push_back(BytesCase("page " + std::to_string(p + 1) + " zeroed", zero));
        cases.push_back(BytesCase("page " + std::to_string(p + 1) + " noise", noise));
    }

    // Header fields with values SQLite must refuse or handle.
    cases.push_back(BytesCase("magic text changed", Patched(sample, 0, "SQLite format 4")));
    cases.push_back(BytesCase("page size 0", Patched(sample, 16, Big16(0))));
    cases.push_back(BytesCase("page size 512", Patched(sample, 16, Big16(512))));
    cases.push_back(BytesCase("page size 1 (65536)", Patched(sample, 16, Big16(1))));
    cases.push_back(BytesCase("page size 1000", Patched(sample, 16, Big16(1000))));
    cases.push_back(BytesCase("read version 3", Patched(sample, 19, "\x03")));
    cases.push_back(BytesCase("write version 2 (WAL)", Patched(sample, 18, "\x02")));
    cases.push_back(BytesCase("reserved bytes 255", Patched(sample, 20, "\xFF")));
    cases.push_back(BytesCase("payload fractions 0", Patched(sample, 21, std::string(3, '\0'))));
    cases.push_back(BytesCase("page count huge", Patched(sample, 28, Big32(0x7FFFFFFF))));
    cases.push_back(BytesCase("freelist trunk past the end", Patched(sample, 32, Big32(0x00FFFFFF))));
    cases.push_back(BytesCase("freelist count huge", Patched(sample, 36, Big32(0xFFFFFFFF))));
    cases.push_back(BytesCase("schema format 9", Patched(sample, 44, Big32(9))));
    cases.push_back(BytesCase("text encoding UTF-16LE", Patched(sample, 56, Big32(2))));
    cases.push_back(BytesCase("text encoding 7", Patched(sample, 56, Big32(7))));
    cases.push_back(BytesCase("auto-vacuum root page past the end", Patched(sample, 52, Big32(0x00FFFFFF))));

    // Files that are not a notebook at all.
    cases.push_back(BytesCase("empty file", std::string()));
    cases.push_back(BytesCase("header only", sample.substr(0, 100)));
    cases.push_back(BytesCase("one page of zeros", std::string(kPage, '\0')));
    cases.push_back(BytesCase("text file", std::string(3000, 'x')));
    cases.push_back(BytesCase("sample twice over", sample + sample));
    cases.push_back(BytesCase("sample and half a page", sample + std::string(kPage / 2, '\x55')));
    return cases;
}

}  // namespace hostile
