// Raw registry values of any type and bytes (texts in the registry's own UTF-16, valid or not),
// as text (registryValueText, and readRegistryValue through the in-memory registry) and whole by
// readRegistryTree, which must give every byte back. Input: records of a type code (4 bytes,
// little-endian), a name byte (bit 7:
// the value goes into subkey "1", bits 0-3: the name's length), the name, the data's length
// (2 bytes, little-endian) and the data.
#include "fuzz_support.h"

#include "catalogue/registry_tree.h"
#include "platform/portable/memory_registry.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace oxlo::platform;
using oxlo::catalogue::RegistryTree;
using oxlo::catalogue::RegistryTreeValue;
using oxlo::fuzz::printable;
using oxlo::fuzz::require;

const std::string kKey = "SOFTWARE\\Garmin\\Mapsource\\Families\\Fuzz";
const std::string kSubkey = kKey + "\\1";
constexpr std::size_t kMaxRecords = 8;

struct Record {
    RegistryTreeValue value;
    bool inSubkey = false;
};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool has(std::size_t count) const { return size_ - used_ >= count; }
    unsigned byte() { return data_[used_++]; }
    std::string bytes(std::size_t count)
    {
        count = std::min(count, size_ - used_);
        const std::string text(reinterpret_cast<const char*>(data_ + used_), count);
        used_ += count;
        return text;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

std::vector<Record> records(Input& input)
{
    std::vector<Record> list;
    while (list.size() < kMaxRecords && input.has(7)) {
        Record record;
        for (int shift = 0; shift < 32; shift += 8)
            record.value.type |= input.byte() << shift;
        const unsigned nameByte = input.byte();
        record.inSubkey = (nameByte & 0x80) != 0;
        // Win32 names hold no NUL; the index keeps names apart whatever their letter case.
        std::string name = input.bytes(nameByte & 0x0F);
        name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
        record.value.name = name + "#" + std::to_string(list.size());
        const unsigned length = input.has(2) ? input.byte() | input.byte() << 8 : 0;
        const std::string data = input.bytes(length);
        record.value.bytes.assign(data.begin(), data.end());
        list.push_back(std::move(record));
    }
    return list;
}

// readRegistryValue as registry.h documents it: REG_SZ its characters up to the NUL, at most 254;
// REG_DWORD and REG_BINARY the signed decimal of their little-endian bytes, "0" when there are
// more than 4; the empty text for other types and for more than 1,017 bytes of data. Characters
// are counted in UTF-8: every byte but 0x80 to 0xBF.
std::string expectedText(const RegistryTreeValue& value)
{
    const std::vector<unsigned char>& bytes = value.bytes;
    if (bytes.size() > 1017)
        return "";
    if (value.type == kRegSz) {
        const auto nul = std::find(bytes.begin(), bytes.end(), '\0');
        const std::string text(bytes.begin(), nul);
        const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        });
        return characters <= 254 ? text : "";
    }
    if (value.type == kRegDword || value.type == kRegBinary) {
        if (bytes.size() > 4)
            return "0";
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            number |= std::uint32_t{bytes[i]} << (8 * i);
        return std::to_string(static_cast<std::int32_t>(number));
    }
    return "";
}

// The value as the seam's reads give it: texts in UTF-8, as Windows converts them.
RegistryTreeValue asRead(const RegistryTreeValue& stored)
{
    if (!isTextType(stored.type))
        return stored;
    bool exact = false;
    const std::string text = textFromUtf16LittleEndian(
        {reinterpret_cast<const char*>(stored.bytes.data()), stored.bytes.size()}, &exact);
    return {stored.name, stored.type, {text.begin(), text.end()}};
}

// The bytes the registry holds for a value of readRegistryTree.
std::vector<unsigned char> storedBytes(const RegistryTreeValue& value)
{
    if (!isTextType(value.type) || value.stored)
        return value.bytes;
    const std::string units =
        utf16LittleEndian(std::string(value.bytes.begin(), value.bytes.end()));
    return {units.begin(), units.end()};
}

std::string describe(const RegistryTreeValue& value)
{
    return "'" + printable(value.name) + "' type " + std::to_string(value.type) + " bytes " +
           printable(std::string(value.bytes.begin(), value.bytes.end()));
}

// The values of `tree` are exactly the records put there, with type and bytes unchanged.
void requireSameValues(const std::vector<RegistryTreeValue>& read, const std::vector<Record>& put,
                       bool inSubkey)
{
    std::size_t count = 0;
    for (const Record& record : put) {
        if (record.inSubkey != inSubkey)
            continue;
        ++count;
        const auto found = std::find_if(read.begin(), read.end(), [&](const RegistryTreeValue& v) {
            return v.name == record.value.name;
        });
        require(found != read.end(),
                [&] { return "readRegistryTree lost " + describe(record.value); });
        const bool same = found->type == record.value.type &&
                          storedBytes(*found) == record.value.bytes;
        require(same, [&] {
            return "readRegistryTree gave " + describe(*found) + " for " + describe(record.value);
        });
    }
    require(read.size() == count, [&] {
        return "readRegistryTree gave " + std::to_string(read.size()) + " values for " +
               std::to_string(count);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    memory_registry::reset();
    Input input(data, size);
    const std::vector<Record> put = records(input);
    for (const std::string& path : {kKey, kSubkey}) {
        OwnedRegistryKey key;
        require(registryCreateKey(kLocalMachine, path, key.receive()) == kRegistryOk,
                [&] { return "could not create " + path; });
        for (const Record& record : put) {
            if (record.inSubkey == (path == kSubkey))
                require(registrySetStoredValue(key.get(), record.value.name, record.value.type,
                                               {record.value.bytes.begin(),
                                                record.value.bytes.end()}) == kRegistryOk,
                        [&] { return "could not store " + describe(record.value); });
        }
    }

    for (std::size_t i = 0; i < put.size(); ++i) {
        const RegistryTreeValue& value = put[i].value;
        // Texts reach registryValueText as the seam gives them: UTF-8.
        const RegistryTreeValue read = asRead(value);
        const std::string expected = expectedText(read);
        const std::string decoded = registryValueText(
            read.type, std::string_view(reinterpret_cast<const char*>(read.bytes.data()),
                                        read.bytes.size()));
        require(decoded == expected, [&] {
            return "registryValueText gave '" + printable(decoded) + "', not '" +
                   printable(expected) + "', for " + describe(value);
        });
        // Every other read names the key with a leading backslash, which addresses the same key.
        const std::string path = (i % 2 == 1 ? "\\" : "") + (put[i].inSubkey ? kSubkey : kKey);
        const std::string text = readRegistryValue(kLocalMachine, path, value.name, "");
        require(text == expected, [&] {
            return "readRegistryValue gave '" + printable(text) + "', not '" + printable(expected) +
                   "', for " + describe(value);
        });
    }

    const std::optional<RegistryTree> tree = oxlo::catalogue::readRegistryTree(kLocalMachine, kKey);
    require(tree.has_value(), [&] { return "readRegistryTree failed"; });
    requireSameValues(tree->values, put, false);
    require(tree->subkeys.size() == 1 && tree->subkeys[0].first == "1" &&
                tree->subkeys[0].second.subkeys.empty(),
            [&] { return "readRegistryTree changed the subkeys"; });
    requireSameValues(tree->subkeys[0].second.values, put, true);
    require(memory_registry::openHandleCount() == 0,
            [&] { return "a registry handle was left open"; });
    // Emptied here rather than by the next input: an input that frees what an earlier one
    // allocated looks to libFuzzer like a leak in the making, which it checks by running the
    // input again.
    memory_registry::reset();
    return 0;
}
