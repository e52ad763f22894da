#include "file_set_items.h"

#include <algorithm>
#include <array>

namespace ostrel::fileset {

namespace {

using K = ItemKind;

constexpr std::array kItems = {
    FileSetItem{143, 132, "codepage.850", K::kCodepageTable, 850, "CP850", "850"},
    FileSetItem{145, 5020, "nls_cp850.o", K::kLegacyModule, 850, "CP850", "cp850"},
    FileSetItem{148, 131614, "unicode_map.850", K::kUnicodeMap, 850, "CP850", "850"},
    FileSetItem{151, 8, "codepage.950", K::kCodepageTable, 950, "CP950", "950"},
    FileSetItem{153, 106268, "nls_cp950.o", K::kLegacyModule, 950, "CP950", "cp950"},
    FileSetItem{155, 1724, "nls_big5.o", K::kLegacyModule, 950, "BIG5", "big5"},
    FileSetItem{156, 262174, "unicode_map.950", K::kUnicodeMap, 950, "CP950", "950"},
    FileSetItem{157, 8, "codepage.936", K::kCodepageTable, 936, "CP936", "936"},
    FileSetItem{158, 129244, "nls_cp936.o", K::kLegacyModule, 936, "CP936", "cp936"},
    FileSetItem{159, 1728, "nls_gb2312.o", K::kLegacyModule, 936, "GB2312", "gb2312"},
    FileSetItem{160, 262174, "unicode_map.936", K::kUnicodeMap, 936, "CP936", "936"},
    FileSetItem{161, 8, "codepage.932", K::kCodepageTable, 932, "CP932", "932"},
    FileSetItem{162, 82848, "nls_cp932.o", K::kLegacyModule, 932, "CP932", "cp932"},
    FileSetItem{163, 6364, "nls_euc-jp.o", K::kLegacyModule, 932, "EUC-JP", "euc-jp"},
    FileSetItem{164, 262174, "unicode_map.932", K::kUnicodeMap, 932, "CP932", "932"},
    FileSetItem{165, 8, "codepage.949", K::kCodepageTable, 949, "CP949", "949"},
    FileSetItem{166, 152216, "nls_cp949.o", K::kLegacyModule, 949, "CP949", "cp949"},
    FileSetItem{167, 1728, "nls_euc-kr.o", K::kLegacyModule, 949, "EUC-KR", "euc-kr"},
    FileSetItem{168, 262174, "unicode_map.949", K::kUnicodeMap, 949, "CP949", "949"},
    FileSetItem{169, 588, "codepage.866", K::kCodepageTable, 866, "CP866", "866"},
    FileSetItem{170, 5308, "nls_cp866.o", K::kLegacyModule, 866, "CP866", "cp866"},
    // The Cyrillic map is carried as a second copy of the codepage-866 table.
    FileSetItem{171, 588, "unicode_map.866", K::kCodepageTable, 866, "CP866", "866"},
    FileSetItem{172, 1724, "nls_sjis.o", K::kLegacyModule, 932, "SJIS", "sjis"},
    FileSetItem{173, 82562, "nls_cp932.ko", K::kModule266, 932, "CP932", "cp932"},
    FileSetItem{174, 105791, "nls_cp950.ko", K::kModule266, 950, "CP950", "cp950"},
    FileSetItem{175, 128599, "nls_cp936.ko", K::kModule266, 936, "CP936", "cp936"},
    FileSetItem{176, 151405, "nls_cp949.ko", K::kModule266, 949, "CP949", "cp949"},
    FileSetItem{177, 6006, "nls_cp866.ko", K::kModule266, 866, "CP866", "cp866"},
    FileSetItem{178, 6809, "nls_euc-jp.ko", K::kModule266, 932, "EUC-JP", "euc-jp"},
    FileSetItem{179, 5719, "nls_cp850.ko", K::kModule266, 850, "CP850", "cp850"},
    FileSetItem{183, 6010, "nls_koi8-r.ko", K::kModule266, 866, "KOI8-R", "koi8-r"},
    FileSetItem{184, 131614, "unicode_map.KOI8-R", K::kUnicodeMap, 866, "KOI8-R", "KOI8-R"},
    FileSetItem{185, 5312, "nls_koi8-r.o", K::kLegacyModule, 866, "KOI8-R", "koi8-r"},
    FileSetItem{187, 5783, "nls_cp850_12.ko", K::kModule2612, 850, "CP850", "cp850"},
    FileSetItem{188, 6070, "nls_cp866_12.ko", K::kModule2612, 866, "CP866", "cp866"},
    FileSetItem{189, 82995, "nls_cp932_12.ko", K::kModule2612, 932, "CP932", "cp932"},
    FileSetItem{190, 128695, "nls_cp936_12.ko", K::kModule2612, 936, "CP936", "cp936"},
    FileSetItem{191, 151501, "nls_cp949_12.ko", K::kModule2612, 949, "CP949", "cp949"},
    FileSetItem{192, 105887, "nls_cp950_12.ko", K::kModule2612, 950, "CP950", "cp950"},
    FileSetItem{193, 6921, "nls_euc-jp_12.ko", K::kModule2612, 932, "EUC-JP", "euc-jp"},
    FileSetItem{194, 6074, "nls_koi8-r_12.ko", K::kModule2612, 866, "KOI8-R", "koi8-r"},
    // Carried, but named by no install list.
    FileSetItem{222, 172, "", K::kCodepageTable, 852, "CP852", "852"},
    FileSetItem{223, 5783, "", K::kModule2612, 852, "CP852", "cp852"},
    FileSetItem{224, 131614, "", K::kUnicodeMap, 852, "CP852", "852"},
    FileSetItem{225, 132, "", K::kCodepageTable, 857, "CP857", "857"},
    FileSetItem{226, 5496, "", K::kModule2612, 857, "CP857", "cp857"},
    FileSetItem{228, 131614, "", K::kUnicodeMap, 857, "CP857", "857"},
};

struct LanguageFiles {
    const char* codepage;
    std::vector<unsigned> hddA;
    std::vector<unsigned> hdd1;
};

const std::vector<LanguageFiles>& Languages() {
    static const std::vector<LanguageFiles> languages = {
        {"950", {151, 153, 155, 156}, {151, 174, 192, 156}},  // Traditional Chinese
        {"936", {157, 158, 159, 160}, {157, 175, 190, 160}},  // Simplified Chinese
        {"850", {143, 145, 148}, {143, 179, 187, 148}},       // Western European
        {"865", {}, {}},                                      // Northern European
        {"852", {}, {}},                                      // Central European
        {"857", {}, {}},                                      // Turkish
        {"949", {165, 166, 167, 168}, {165, 176, 191, 168}},  // Korean Hangul
        {"866", {169, 170, 185, 171, 184}, {169, 177, 183, 188, 194, 171, 184}},  // Cyrillic
        {"932", {161, 162, 163, 172, 164}, {161, 173, 178, 189, 193, 164}},       // Japanese SJIS
    };
    return languages;
}

const char* KindName(ItemKind kind) {
    switch (kind) {
        case K::kCodepageTable:
            return "codepage-table";
        case K::kUnicodeMap:
            return "unicode-map";
        case K::kLegacyModule:
            return "module";
        case K::kModule266:
            return "module";
        case K::kModule2612:
            return "module";
    }
    return "item";
}

}  // namespace

std::span<const FileSetItem> FileSetItems() {
    return kItems;
}

const FileSetItem* FindFileSetItem(unsigned id) {
    const auto it = std::find_if(kItems.begin(), kItems.end(),
                                 [id](const FileSetItem& item) { return item.id == id; });
    return it == kItems.end() ? nullptr : &*it;
}

std::string ExportName(const FileSetItem& item) {
    std::string name = std::to_string(item.id) + "_";
    if (item.fileName[0] != '\0')
        return name + item.fileName;
    name += KindName(item.kind);
    name += "-";
    name +=
        item.kind == K::kModule2612 || item.kind == K::kModule266 || item.kind == K::kLegacyModule
            ? item.shortName
            : std::to_string(item.codepage);
    if (item.kind == K::kModule2612)
        name += "-2.6.12.6";
    else if (item.kind == K::kModule266)
        name += "-2.6.6";
    else if (item.kind == K::kLegacyModule)
        name += "-2.4";
    return name;
}

const char* LanguageCodepageText(int language) {
    if (language < 0 || language >= kLanguageCount)
        return "";
    return Languages()[static_cast<std::size_t>(language)].codepage;
}

std::vector<unsigned> InstallList(int language, VolumeLayout layout) {
    if (language < 0 || language >= kLanguageCount)
        return {};
    const LanguageFiles& files = Languages()[static_cast<std::size_t>(language)];
    return layout == VolumeLayout::kHdd1 ? files.hdd1 : files.hddA;
}

}  // namespace ostrel::fileset
