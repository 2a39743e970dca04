// PNG encoding with stored (uncompressed) deflate blocks: enough for small pictures, no zlib needed.
#include "png_image.h"

#include <vector>

namespace sample {

namespace {

uint32_t Crc32(const std::string& bytes, size_t begin) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = begin; i < bytes.size(); ++i)
        crc = table[(crc ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
    uint32_t a = 1, b = 0;
    for (const char c : bytes) {
        a = (a + static_cast<uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void PutBig32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLittle16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out += std::string(type, 4) + data;
    PutBig32(out, Crc32(out, typeAt));
}

// A zlib stream of stored blocks, each at most 65535 bytes.
std::string Stored(const std::string& raw) {
    std::string out("\x78\x01", 2);
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        PutLittle16(out, static_cast<uint32_t>(length));
        PutLittle16(out, static_cast<uint32_t>(~length & 0xFFFF));
        out += raw.substr(at, length);
        at += length;
    } while (at < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

}  // namespace

std::string MakePng(int width, int height, const PixelFunction& pixel) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            raw += static_cast<char>((rgb >> 16) & 0xFF);
            raw += static_cast<char>((rgb >> 8) & 0xFF);
            raw += static_cast<char>(rgb & 0xFF);
        }
    }
    std::string header;
    PutBig32(header, static_cast<uint32_t>(width));
    PutBig32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, truecolour, deflate, no filter, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Stored(raw));
    PutChunk(png, "IEND", std::string());
    return png;
}

}  // namespace sample
