#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addons/embedded_file.h"
#include "res/fileset/file_set_items.h"

// The file set as the program carries it: every item under its identifier,
// name, size and kind, in the resources and in the exported folder, and the
// install lists per language and layout.
using namespace ostrel::fileset;

namespace {

std::string ReadExported(const std::string& name) {
    std::ifstream file(std::string(OSTREL_FILESET_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

struct Row {
    unsigned id;
    std::uint32_t size;
    const char* name;  // "" for the items never installed
    ItemKind kind;
};

using K = ItemKind;
const Row kTable[] = {
    {143, 132, "codepage.850", K::kCodepageTable},
    {145, 5020, "nls_cp850.o", K::kLegacyModule},
    {148, 131614, "unicode_map.850", K::kUnicodeMap},
    {151, 8, "codepage.950", K::kCodepageTable},
    {153, 106268, "nls_cp950.o", K::kLegacyModule},
    {155, 1724, "nls_big5.o", K::kLegacyModule},
    {156, 262174, "unicode_map.950", K::kUnicodeMap},
    {157, 8, "codepage.936", K::kCodepageTable},
    {158, 129244, "nls_cp936.o", K::kLegacyModule},
    {159, 1728, "nls_gb2312.o", K::kLegacyModule},
    {160, 262174, "unicode_map.936", K::kUnicodeMap},
    {161, 8, "codepage.932", K::kCodepageTable},
    {162, 82848, "nls_cp932.o", K::kLegacyModule},
    {163, 6364, "nls_euc-jp.o", K::kLegacyModule},
    {164, 262174, "unicode_map.932", K::kUnicodeMap},
    {165, 8, "codepage.949", K::kCodepageTable},
    {166, 152216, "nls_cp949.o", K::kLegacyModule},
    {167, 1728, "nls_euc-kr.o", K::kLegacyModule},
    {168, 262174, "unicode_map.949", K::kUnicodeMap},
    {169, 588, "codepage.866", K::kCodepageTable},
    {170, 5308, "nls_cp866.o", K::kLegacyModule},
    {171, 588, "unicode_map.866", K::kCodepageTable},
    {172, 1724, "nls_sjis.o", K::kLegacyModule},
    {173, 82562, "nls_cp932.ko", K::kModule266},
    {174, 105791, "nls_cp950.ko", K::kModule266},
    {175, 128599, "nls_cp936.ko", K::kModule266},
    {176, 151405, "nls_cp949.ko", K::kModule266},
    {177, 6006, "nls_cp866.ko", K::kModule266},
    {178, 6809, "nls_euc-jp.ko", K::kModule266},
    {179, 5719, "nls_cp850.ko", K::kModule266},
    {183, 6010, "nls_koi8-r.ko", K::kModule266},
    {184, 131614, "unicode_map.KOI8-R", K::kUnicodeMap},
    {185, 5312, "nls_koi8-r.o", K::kLegacyModule},
    {187, 5783, "nls_cp850_12.ko", K::kModule2612},
    {188, 6070, "nls_cp866_12.ko", K::kModule2612},
    {189, 82995, "nls_cp932_12.ko", K::kModule2612},
    {190, 128695, "nls_cp936_12.ko", K::kModule2612},
    {191, 151501, "nls_cp949_12.ko", K::kModule2612},
    {192, 105887, "nls_cp950_12.ko", K::kModule2612},
    {193, 6921, "nls_euc-jp_12.ko", K::kModule2612},
    {194, 6074, "nls_koi8-r_12.ko", K::kModule2612},
    {222, 172, "", K::kCodepageTable},
    {223, 5783, "", K::kModule2612},
    {224, 131614, "", K::kUnicodeMap},
    {225, 132, "", K::kCodepageTable},
    {226, 5496, "", K::kModule2612},
    {228, 131614, "", K::kUnicodeMap},
};

}  // namespace

TEST(FileSetTable, EveryItemIsCarriedAndExportedAtItsSize) {
    ASSERT_EQ(FileSetItems().size(), std::size(kTable));
    std::size_t index = 0;
    for (const Row& row : kTable) {
        SCOPED_TRACE("item " + std::to_string(row.id));
        const FileSetItem& item = FileSetItems()[index++];
        EXPECT_EQ(item.id, row.id);
        EXPECT_EQ(item.size, row.size);
        EXPECT_STREQ(item.fileName, row.name);
        EXPECT_EQ(item.kind, row.kind);

        const std::string_view carried = ostrel::addons::FindEmbeddedResource("CODEPAGE", row.id);
        EXPECT_EQ(carried.size(), row.size);
        const std::string exportName = ExportName(item);
        if (row.name[0] != '\0') {
            EXPECT_EQ(exportName, std::to_string(row.id) + "_" + row.name);
        }
        const std::string exported = ReadExported(exportName);
        EXPECT_EQ(exported.size(), row.size) << exportName;
        EXPECT_TRUE(exported == carried) << exportName << " differs from the carried item";
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OSTREL_FILESET_DIR))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, std::size(kTable)) << "the export folder holds only the items";
}

TEST(FileSetTable, ResourcesAreFoundByTypeNameInAnyCaseAndTheLow16Bits) {
    EXPECT_EQ(ostrel::addons::FindEmbeddedResource("Codepage", 143).size(), 132u);
    EXPECT_EQ(ostrel::addons::FindEmbeddedResource("codepage", 0x10000 + 143).size(), 132u);
    EXPECT_TRUE(ostrel::addons::FindEmbeddedResource("Codepage", 144).empty());
    // The add-on asks for type "BT", which the set does not hold.
    EXPECT_TRUE(ostrel::addons::FindEmbeddedResource("BT", 215).empty());
    EXPECT_TRUE(ostrel::addons::FindEmbeddedResource("BT", 220).empty());
}

TEST(FileSetTable, InstallListsPerLanguageAndLayout) {
    using V = std::vector<unsigned>;
    const VolumeLayout a = VolumeLayout::kHddA;
    const VolumeLayout one = VolumeLayout::kHdd1;
    EXPECT_EQ(InstallList(0, a), (V{151, 153, 155, 156}));
    EXPECT_EQ(InstallList(0, one), (V{151, 174, 192, 156}));
    EXPECT_EQ(InstallList(1, a), (V{157, 158, 159, 160}));
    EXPECT_EQ(InstallList(1, one), (V{157, 175, 190, 160}));
    EXPECT_EQ(InstallList(2, a), (V{143, 145, 148}));
    EXPECT_EQ(InstallList(2, one), (V{143, 179, 187, 148}));
    for (int language : {3, 4, 5}) {
        EXPECT_TRUE(InstallList(language, a).empty());
        EXPECT_TRUE(InstallList(language, one).empty());
    }
    EXPECT_EQ(InstallList(6, a), (V{165, 166, 167, 168}));
    EXPECT_EQ(InstallList(6, one), (V{165, 176, 191, 168}));
    EXPECT_EQ(InstallList(7, a), (V{169, 170, 185, 171, 184}));
    EXPECT_EQ(InstallList(7, one), (V{169, 177, 183, 188, 194, 171, 184}));
    EXPECT_EQ(InstallList(8, a), (V{161, 162, 163, 172, 164}));
    EXPECT_EQ(InstallList(8, one), (V{161, 173, 178, 189, 193, 164}));
    EXPECT_TRUE(InstallList(-1, a).empty());
    EXPECT_TRUE(InstallList(9, one).empty());

    // Every listed item is installed under a name; the never-installed ones
    // appear in no list.
    for (int language = 0; language < kLanguageCount; ++language) {
        for (VolumeLayout layout : {a, one}) {
            for (unsigned id : InstallList(language, layout)) {
                const FileSetItem* item = FindFileSetItem(id);
                ASSERT_NE(item, nullptr) << id;
                EXPECT_NE(item->fileName[0], '\0') << id;
                EXPECT_LT(id, 222u);
            }
        }
    }
    EXPECT_EQ(std::string(FindFileSetItem(InstallList(7, one).back())->fileName),
              "unicode_map.KOI8-R");
    const char* codepages[] = {"950", "936", "850", "865", "852", "857", "949", "866", "932"};
    for (int language = 0; language < kLanguageCount; ++language)
        EXPECT_STREQ(LanguageCodepageText(language), codepages[language]);
}
