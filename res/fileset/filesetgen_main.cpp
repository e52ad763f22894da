// Makes every item of the embedded file set and writes it to OUT_DIR as
// "<id>_<name>", with a resource collection file listing them under
// ":/resources/CODEPAGE/<id>" for rcc.
//
//   ostrel-filesetgen OUT_DIR QRC_FILE
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "file_set_items.h"
#include "item_builder.h"

namespace {

bool WriteWhole(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR QRC_FILE\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path outDir = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(outDir);

    std::string qrc = "<RCC>\n  <qresource prefix=\"/resources/CODEPAGE\">\n";
    ostrel::fileset::ItemBuilder builder;
    std::size_t total = 0;
    for (const auto& item : ostrel::fileset::FileSetItems()) {
        std::string why;
        const auto bytes = builder.Build(item, why);
        if (!bytes) {
            std::fprintf(stderr, "ostrel-filesetgen: item %u: %s\n", item.id, why.c_str());
            return 1;
        }
        const std::filesystem::path path = outDir / ostrel::fileset::ExportName(item);
        if (!WriteWhole(path, *bytes)) {
            std::fprintf(stderr, "ostrel-filesetgen: cannot write %s\n", path.c_str());
            return 1;
        }
        total += bytes->size();
        qrc += "    <file alias=\"" + std::to_string(item.id) + "\">" + path.string() + "</file>\n";
    }
    qrc += "  </qresource>\n</RCC>\n";
    if (!WriteWhole(argv[2], qrc)) {
        std::fprintf(stderr, "ostrel-filesetgen: cannot write %s\n", argv[2]);
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("file set: %zu items, %zu bytes, made in %.3f s\n",
                ostrel::fileset::FileSetItems().size(), total, seconds);
    return 0;
}
