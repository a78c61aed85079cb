// Turns the icons' text art into .ico files, so that the pictures live in the
// repository as text a diff can show and anyone can retouch in an editor.
//
//   draw_icons OUT.ico ART.txt [ART.txt ...]
//
// Each art file becomes one image of the icon, in the order given. An art file
// is a header, one blank line, then the picture with one character per pixel:
//
//   # a comment (anywhere, so '#' cannot be a pixel)
//   bits 8             colour depth of the image: 4 (16 colours) or 8 (256)
//   . none             a character drawn transparent
//   W ffffff white     a character, its colour as RRGGBB, then any words
//
// Runs on the build machine, so it uses nothing but the standard library.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Colour {
    std::uint8_t red, green, blue;
};

struct Art {
    int bits = 0;
    std::vector<std::string> rows;
    // Palette index of each opaque character. Index 0 stays black: it is what
    // transparent pixels hold, so that the XOR image leaves the screen as is
    // wherever the AND mask keeps it.
    std::map<char, std::uint8_t> index;
    std::vector<Colour> palette{{0, 0, 0}};
    std::string transparent;

    int width() const { return static_cast<int>(rows.front().size()); }
    int height() const { return static_cast<int>(rows.size()); }
};

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

void read_header_line(Art& art, const std::string& line, const std::string& where) {
    std::istringstream words(line);
    std::string key, value;
    words >> key >> value;
    if (key == "bits") {
        if (value != "4" && value != "8")
            fail(where + "bits must be 4 or 8");
        art.bits = std::stoi(value);
        return;
    }
    if (key.size() != 1 || value.empty())
        fail(where + "expected 'bits N' or a character and its colour");
    const char pixel = key[0];
    if (art.index.count(pixel) != 0 || art.transparent.find(pixel) != std::string::npos)
        fail(where + "'" + key + "' is already in the palette");
    if (value == "none") {
        art.transparent += pixel;
        return;
    }
    if (value.size() != 6 || value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail(where + "a colour is RRGGBB in hexadecimal, or none");
    if (art.palette.size() > 255)
        fail(where + "more than 255 colours");
    const unsigned long rgb = std::stoul(value, nullptr, 16);
    art.index[pixel] = static_cast<std::uint8_t>(art.palette.size());
    art.palette.push_back({static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                           static_cast<std::uint8_t>(rgb)});
}

Art read_art(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        fail(path + ": cannot open");
    Art art;
    bool in_picture = false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (in_picture)
            art.rows.push_back(line);
        else if (line.empty())
            in_picture = true;
        else
            read_header_line(art, line, where);
    }
    while (!art.rows.empty() && art.rows.back().empty())
        art.rows.pop_back();

    if (art.bits == 0)
        fail(path + ": no 'bits' line");
    if (art.rows.empty())
        fail(path + ": no picture after the blank line");
    if (art.palette.size() > (1u << art.bits))
        fail(path + ": " + std::to_string(art.palette.size() - 1) + " colours do not fit in " +
             std::to_string(art.bits) + " bits beside the transparent one");
    if (art.width() > 256 || art.height() > 256)
        fail(path + ": an icon image is at most 256 x 256");
    for (std::size_t y = 0; y < art.rows.size(); ++y) {
        const std::string& row = art.rows[y];
        if (row.size() != art.rows.front().size())
            fail(path + ": picture row " + std::to_string(y + 1) + " is " + std::to_string(row.size()) +
                 " wide, the first is " + std::to_string(art.width()));
        for (char pixel : row)
            if (art.index.count(pixel) == 0 && art.transparent.find(pixel) == std::string::npos)
                fail(path + ": picture row " + std::to_string(y + 1) + " uses '" + pixel +
                     "', which the palette lacks");
    }
    return art;
}

void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Rows of a device-independent bitmap are padded to whole 32-bit words.
std::uint32_t row_bytes(int width, int bits) {
    return (static_cast<std::uint32_t>(width * bits) + 31) / 32 * 4;
}

// BITMAPINFOHEADER, palette, XOR image and AND mask, as an .ico stores one
// image: the height counts both bitmaps, and rows go from the bottom up.
std::string image_data(const Art& art) {
    const std::uint32_t colour_row = row_bytes(art.width(), art.bits);
    const std::uint32_t mask_row = row_bytes(art.width(), 1);
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(art.width()));
    put32(out, static_cast<std::uint32_t>(2 * art.height()));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(art.bits));
    put32(out, 0);  // BI_RGB
    put32(out, (colour_row + mask_row) * static_cast<std::uint32_t>(art.height()));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);  // every colour of the depth is in the palette
    put32(out, 0);

    for (std::uint32_t i = 0; i < (1u << art.bits); ++i) {
        const Colour colour = i < art.palette.size() ? art.palette[i] : Colour{0, 0, 0};
        out += static_cast<char>(colour.blue);
        out += static_cast<char>(colour.green);
        out += static_cast<char>(colour.red);
        out += '\0';
    }

    for (int y = art.height() - 1; y >= 0; --y) {
        std::string row(colour_row, '\0');
        for (int x = 0; x < art.width(); ++x) {
            const auto found = art.index.find(art.rows[y][x]);
            const std::uint8_t value = found == art.index.end() ? 0 : found->second;
            if (art.bits == 8)
                row[x] = static_cast<char>(value);
            else
                row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? value << 4 : value));
        }
        out += row;
    }
    for (int y = art.height() - 1; y >= 0; --y) {
        std::string row(mask_row, '\0');
        for (int x = 0; x < art.width(); ++x)
            if (art.index.count(art.rows[y][x]) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | 0x80 >> x % 8);
        out += row;
    }
    return out;
}

// ICONDIR, one ICONDIRENTRY per image, then the images.
std::string icon_file(const std::vector<Art>& images) {
    std::string header, body;
    put16(header, 0);
    put16(header, 1);  // an icon, not a cursor
    put16(header, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Art& art : images) {
        const std::string data = image_data(art);
        header += static_cast<char>(art.width() & 0xFF);  // 0 stands for 256
        header += static_cast<char>(art.height() & 0xFF);
        header += static_cast<char>(art.bits < 8 ? 1 << art.bits : 0);
        header += '\0';
        put16(header, 1);
        put16(header, static_cast<std::uint32_t>(art.bits));
        put32(header, static_cast<std::uint32_t>(data.size()));
        put32(header, offset);
        offset += static_cast<std::uint32_t>(data.size());
        body += data;
    }
    return header + body;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: draw_icons OUT.ico ART.txt [ART.txt ...]\n";
        return 2;
    }
    try {
        std::vector<Art> images;
        for (int i = 2; i < argc; ++i)
            images.push_back(read_art(argv[i]));
        // Everything is checked before the file is opened, so that a broken
        // art file never leaves a half-written icon for the build to pick up.
        const std::string icon = icon_file(images);
        std::ofstream out(argv[1], std::ios::binary);
        out << icon;
        out.close();
        if (!out) {
            std::remove(argv[1]);
            fail(std::string(argv[1]) + ": cannot write");
        }
    } catch (const std::exception& error) {
        std::cerr << "draw_icons: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
