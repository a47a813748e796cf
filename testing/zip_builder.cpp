#include "testing/zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace pelmar::test {
namespace {

// Appends each value as `width` little-endian bytes.
void Put(std::string& out, std::initializer_list<std::pair<uint32_t, int>> fields) {
    for (const auto& [value, width] : fields)
        for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Raw deflate (no zlib header), as a zip stores it.
class Deflater {
public:
    Deflater() {
        if (deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2");
    }
    ~Deflater() { deflateEnd(&stream_); }

    std::string Add(std::string_view data, int flush) {
        std::string out;
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream_.avail_in = static_cast<uInt>(data.size());
        char buffer[1 << 16];
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(buffer);
            stream_.avail_out = sizeof buffer;
            deflate(&stream_, flush);
            out.append(buffer, sizeof buffer - stream_.avail_out);
        } while (stream_.avail_out == 0 || stream_.avail_in > 0);
        return out;
    }

private:
    z_stream stream_{};
};

uLong Crc(std::string_view data) {
    return crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

const std::string kXmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
const std::string kMain = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
const std::string kRelationships = R"(xmlns="http://schemas.openxmlformats.org/package/2006/relationships")";
const std::string kTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationship(const std::string& id, const std::string& type, const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kTypes + type + "\" Target=\"" + target + "\"/>";
}

}  // namespace

ZipEntry Stored(std::string name, std::string_view data) {
    return {std::move(name), std::string(data), false, data.size(), static_cast<uint32_t>(Crc(data))};
}

ZipEntry DeflatedRepeat(std::string name, std::string_view prefix, std::string_view block, uint64_t repeats,
                        std::string_view suffix) {
    Deflater deflater;
    // A full flush ends each piece on a byte and lets nothing after it refer
    // back, so the block's bytes may be repeated as they are.
    std::string data = deflater.Add(prefix, Z_FULL_FLUSH);
    const std::string packedBlock = deflater.Add(block, Z_FULL_FLUSH);
    data.reserve(data.size() + packedBlock.size() * repeats + 64);
    for (uint64_t i = 0; i < repeats; ++i) data += packedBlock;
    data += deflater.Add(suffix, Z_FINISH);
    uLong crc = Crc(prefix);
    const uLong blockCrc = Crc(block);
    for (uint64_t i = 0; i < repeats; ++i) crc = crc32_combine(crc, blockCrc, static_cast<z_off_t>(block.size()));
    crc = crc32_combine(crc, Crc(suffix), static_cast<z_off_t>(suffix.size()));
    return {std::move(name), std::move(data), true, prefix.size() + block.size() * repeats + suffix.size(),
            static_cast<uint32_t>(crc)};
}

std::string ZipBytes(const std::vector<ZipEntry>& entries) {
    std::string out, directory;
    for (const ZipEntry& entry : entries) {
        const auto offset = static_cast<uint32_t>(out.size()), packed = static_cast<uint32_t>(entry.data.size());
        const auto size = entry.deflated ? static_cast<uint32_t>(entry.size) : packed;
        const auto name = static_cast<uint32_t>(entry.name.size());
        // Version needed, flags, method, time, date (1980-01-01); CRC, sizes, name length, extra field.
        const auto common = [&](std::string& header) {
            Put(header, {{20, 2}, {entry.encrypted ? 1u : 0u, 2}, {entry.deflated ? 8u : 0u, 2}, {0, 2}, {0x21, 2}});
            Put(header, {{entry.crc, 4}, {packed, 4}, {size, 4}, {name, 2}, {0, 2}});
        };
        Put(out, {{0x04034b50, 4}});
        common(out);
        out += entry.name + entry.data;
        Put(directory, {{0x02014b50, 4}, {20, 2}});  // made by
        common(directory);
        // Comment length, disk, internal and external attributes, the local header's offset.
        Put(directory, {{0, 2}, {0, 2}, {0, 2}, {0, 4}, {offset, 4}});
        directory += entry.name;
    }
    const auto count = static_cast<uint32_t>(entries.size()), offset = static_cast<uint32_t>(out.size());
    Put(directory, {{0x06054b50, 4}, {0, 2}, {0, 2}, {count, 2}, {count, 2}});  // disks, entries here and in all
    Put(directory, {{static_cast<uint32_t>(directory.size() - 12), 4}, {offset, 4}, {0, 2}});  // size, offset, comment
    return out + directory;
}

std::vector<ZipEntry> WorkbookEntries(const WorkbookParts& parts) {
    std::vector<ZipEntry> entries;
    // A part: the declaration, then `body` in its root element.
    const auto add = [&](const std::string& name, const std::string& root, const std::string& attributes,
                         const std::string& body) {
        entries.push_back(
            Stored(name, kXmlDeclaration + "<" + root + " " + attributes + ">" + body + "</" + root + ">"));
    };
    add("_rels/.rels", "Relationships", kRelationships, Relationship("rId1", "officeDocument", "xl/workbook.xml"));
    std::string sheets, relationships;
    for (std::size_t i = 0; i < parts.sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        sheets += "<sheet name=\"" + parts.sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        relationships += Relationship("rId" + n, "worksheet", "worksheets/sheet" + n + ".xml");
        add("xl/worksheets/sheet" + n + ".xml", "worksheet", kMain,
            "<sheetData>" + parts.sheets[i].second + "</sheetData>");
    }
    if (parts.sharedStrings) {
        relationships += Relationship("rIdS", "sharedStrings", "sharedStrings.xml");
        add("xl/sharedStrings.xml", "sst", kMain, *parts.sharedStrings);
    }
    if (parts.styles) {  // from the root, as some programs write their targets
        relationships += Relationship("rIdT", "styles", "/xl/styles.xml");
        add("xl/styles.xml", "styleSheet", kMain, *parts.styles);
    }
    add("xl/workbook.xml", "workbook",
        kMain + " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"",
        (parts.date1904 ? "<workbookPr date1904=\"1\"/>" : "") + std::string("<sheets>") + sheets + "</sheets>");
    add("xl/_rels/workbook.xml.rels", "Relationships", kRelationships, relationships);
    return entries;
}

}  // namespace pelmar::test
