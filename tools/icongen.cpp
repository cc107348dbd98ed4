// Turns the readable pixel map of an icon (res/zerkon-icon.txt) into a Windows .ico file of 16-colour images.
// Runs on the build machine, so it uses nothing but the standard library.
//
//   icongen MAP.txt OUT.ico
//
// Each image is a 4-bit device-independent bitmap with a 40-byte header, the standard 16-colour palette, the colour
// plane and a 1-bit mask. The mask is all zero: every pixel of the map is opaque.
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Blue, green, red, reserved: the order of a bitmap's colour table.
const std::array<std::array<std::uint8_t, 4>, 16> standardPalette = {{
    {0x00, 0x00, 0x00, 0},
    {0x00, 0x00, 0x80, 0},
    {0x00, 0x80, 0x00, 0},
    {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0},
    {0x80, 0x00, 0x80, 0},
    {0x80, 0x80, 0x00, 0},
    {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0},
    {0x00, 0x00, 0xFF, 0},
    {0x00, 0xFF, 0x00, 0},
    {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0},
    {0xFF, 0x00, 0xFF, 0},
    {0xFF, 0xFF, 0x00, 0},
    {0xFF, 0xFF, 0xFF, 0},
}};

struct Image {
    int size = 0;
    std::vector<std::uint8_t> indices; // size * size palette indices, top row first
};

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Rows of a bitmap are padded to a multiple of four bytes.
int rowBytes(int bitsPerRow) { return (bitsPerRow + 31) / 32 * 4; }

std::vector<std::uint8_t> bitmapOf(const Image& image) {
    const int n = image.size;
    const int colourRow = rowBytes(n * 4);
    const int maskRow = rowBytes(n);
    std::vector<std::uint8_t> out;
    put32(out, 40);    // header size
    put32(out, n);     // width
    put32(out, n * 2); // height of the colour plane and the mask together
    put16(out, 1);     // planes
    put16(out, 4);     // bits per pixel
    put32(out, 0);     // no compression
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * n));
    put32(out, 0);
    put32(out, 0);
    put32(out, 16); // colours used
    put32(out, 0);
    for (const auto& entry : standardPalette)
        out.insert(out.end(), entry.begin(), entry.end());
    // Bitmaps are stored bottom row first.
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < n; ++x) {
            std::uint8_t index = image.indices[y * n + x];
            row[x / 2] |= (x % 2 == 0) ? index << 4 : index;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), static_cast<std::size_t>(maskRow) * n, 0);
    return out;
}

bool readMap(std::istream& in, std::vector<Image>& images, std::string& error) {
    std::map<char, int> colours;
    std::string line;
    int lineNumber = 0;
    Image* current = nullptr;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (current && static_cast<int>(current->indices.size()) < current->size * current->size) {
            if (static_cast<int>(line.size()) != current->size) {
                error = where + "a row of the " + std::to_string(current->size) + "-pixel image must have exactly " +
                        std::to_string(current->size) + " letters";
                return false;
            }
            for (char letter : line) {
                auto colour = colours.find(letter);
                if (colour == colours.end()) {
                    error = where + "the letter '" + std::string(1, letter) + "' has no colour line";
                    return false;
                }
                current->indices.push_back(static_cast<std::uint8_t>(colour->second));
            }
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "colour") {
            std::string letter;
            int index = -1;
            words >> letter >> index;
            if (letter.size() != 1 || index < 0 || index > 15) {
                error = where + "expected: colour LETTER INDEX(0-15) [note]";
                return false;
            }
            colours[letter[0]] = index;
        } else if (keyword == "image") {
            int size = 0;
            words >> size;
            if (size != 16 && size != 32 && size != 48) {
                error = where + "an image is 16, 32 or 48 pixels square";
                return false;
            }
            images.push_back(Image{size, {}});
            current = &images.back();
        } else {
            error = where + "unknown line '" + line + "'";
            return false;
        }
    }
    if (images.empty()) {
        error = "the map holds no image";
        return false;
    }
    for (const Image& image : images)
        if (static_cast<int>(image.indices.size()) != image.size * image.size) {
            error = "the " + std::to_string(image.size) + "-pixel image has too few rows";
            return false;
        }
    return true;
}

std::vector<std::uint8_t> iconFileOf(const std::vector<Image>& images) {
    std::vector<std::vector<std::uint8_t>> bitmaps;
    for (const Image& image : images)
        bitmaps.push_back(bitmapOf(image));
    std::vector<std::uint8_t> out;
    put16(out, 0); // reserved
    put16(out, 1); // icon
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(16); // colours
        out.push_back(0);
        put16(out, 1); // planes
        put16(out, 4); // bits per pixel
        put32(out, static_cast<std::uint32_t>(bitmaps[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const auto& bitmap : bitmaps)
        out.insert(out.end(), bitmap.begin(), bitmap.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: icongen MAP.txt OUT.ico\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "icongen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<Image> images;
    std::string error;
    if (!readMap(in, images, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::vector<std::uint8_t> icon = iconFileOf(images);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    out.close();
    if (!out) {
        std::cerr << "icongen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
