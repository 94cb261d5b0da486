// The registry primitives of registry_store.h over an in-memory tree, with the Win32 semantics
// Oxlo relies on (measured against the Win32 calls under Wine): case-insensitive names, exact
// value bytes (texts kept in UTF-16 as Windows keeps them), RegQueryValueEx sizes and
// ERROR_MORE_DATA, subkeys enumerated in the order of their upper-cased names (as the registry
// keeps them, whatever the order of creation), deletion of leaf keys only, and handles that go
// stale when their key is deleted.
#include "platform/portable/memory_registry.h"
#include "platform/portable/case_fold.h"
#include "platform/portable/fault_injection.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::platform {

namespace {

constexpr long kBadPathname = 161; // ERROR_BAD_PATHNAME

struct Value {
    std::string name;
    unsigned type = kRegNone;
    std::vector<unsigned char> bytes;
};

struct Node {
    std::string name;
    std::string upperName; // the sort key among its siblings, formed once
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children; // sorted by upperName
    std::vector<Value> values;
    bool undeletable = false;
};

bool sameName(std::string_view a, std::string_view b)
{
    return sameFoldedText(a, b);
}

// The sort key of a subkey: ASCII letters as capitals, other bytes as they are (the registry's
// own order for the names Oxlo meets; names that differ in case beyond ASCII are found as the
// same by sameName whatever their place).
std::string upperName(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

struct OpenKey {
    Node* node = nullptr; // null once the key has been deleted
    RegistryAccess access = RegistryAccess::Full;
};

struct Registry {
    // One tree per (computer, predefined root); "" is the local computer.
    std::map<std::pair<std::string, RegistryHandle>, std::unique_ptr<Node>> roots;
    std::vector<std::string> remoteComputers;
    std::map<RegistryHandle, OpenKey> handles;
    // Connections name a root of a remote computer: handle -> (computer, root).
    std::map<RegistryHandle, std::pair<std::string, RegistryHandle>> connections;
    RegistryHandle nextHandle = 0x1000;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

bool isPredefinedRoot(RegistryHandle handle)
{
    return handle >= 0x80000000u && handle <= 0x80000006u;
}

Node* rootNode(const std::string& computer, RegistryHandle root)
{
    auto& slot = registry().roots[{computer, root}];
    if (!slot) {
        slot = std::make_unique<Node>();
    }
    return slot.get();
}

// The node a handle stands for; `status` says why there is none.
Node* nodeOf(RegistryHandle handle, long* status, RegistryAccess* access = nullptr)
{
    *status = kRegistryOk;
    if (access) {
        *access = RegistryAccess::Full;
    }
    if (isPredefinedRoot(handle)) {
        return rootNode("", handle);
    }
    auto& reg = registry();
    if (auto c = reg.connections.find(handle); c != reg.connections.end()) {
        return rootNode(c->second.first, c->second.second);
    }
    auto it = reg.handles.find(handle);
    if (it == reg.handles.end()) {
        *status = 6; // ERROR_INVALID_HANDLE
        return nullptr;
    }
    if (!it->second.node) {
        *status = memory_registry::kRegistryKeyDeleted;
        return nullptr;
    }
    if (access) {
        *access = it->second.access;
    }
    return it->second.node;
}

Node* findChild(Node* node, std::string_view name)
{
    for (auto& child : node->children) {
        if (sameName(child->name, name)) {
            return child.get();
        }
    }
    return nullptr;
}

// Walks a relative path part by part, in place: empty parts (trailing or doubled backslashes) are
// ignored, a leading backslash is refused as the Win32 calls refuse it. Every call that names a
// key walks, so the path is neither split into copies nor folded whole.
long walk(RegistryHandle root, const std::string& path, bool create, Node** result)
{
    long status = kRegistryOk;
    Node* node = nodeOf(root, &status);
    if (!node) {
        return status;
    }
    if (!path.empty() && path.front() == '\\') {
        return kBadPathname;
    }
    const std::string_view rest(path);
    for (std::size_t start = 0; start < rest.size();) {
        const std::size_t end = std::min(rest.find('\\', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        Node* child = findChild(node, part);
        if (!child) {
            if (!create) {
                return kRegistryNotFound;
            }
            auto fresh = std::make_unique<Node>();
            fresh->name = part;
            fresh->upperName = upperName(part);
            fresh->parent = node;
            child = fresh.get();
            const auto place = std::find_if(
                node->children.begin(), node->children.end(),
                [&](const auto& sibling) { return sibling->upperName > child->upperName; });
            node->children.insert(place, std::move(fresh));
        }
        node = child;
    }
    *result = node;
    return kRegistryOk;
}

RegistryHandle newHandle(Node* node, RegistryAccess access)
{
    auto& reg = registry();
    RegistryHandle handle = reg.nextHandle;
    reg.nextHandle += 4;
    reg.handles[handle] = OpenKey{node, access};
    return handle;
}

Value* findValue(Node* node, const std::string& name)
{
    for (auto& value : node->values) {
        if (sameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

bool mayQuery(RegistryAccess access)
{
    return access != RegistryAccess::DeleteEnumerate;
}

// The node of an open key for a call that fault injection may fail; null with `status` saying why.
Node* calledNode(RegistryHandle key, long* status, RegistryAccess* access)
{
    if (fault_injection::shouldFail()) {
        *status = kRegistryAccessDenied;
        return nullptr;
    }
    return nodeOf(key, status, access);
}

// The value `name` of an open key for reading, or why there is none.
const Value* queriedValue(RegistryHandle key, const std::string& name, long* status)
{
    RegistryAccess access{};
    Node* node = calledNode(key, status, &access);
    if (!node) {
        return nullptr;
    }
    if (!mayQuery(access)) {
        *status = kRegistryAccessDenied;
        return nullptr;
    }
    const Value* value = findValue(node, name);
    *status = value ? kRegistryOk : kRegistryNotFound;
    return value;
}

// Stores the value in an open key with full access; `bytes` as the registry keeps them.
long storeValue(RegistryHandle key, const std::string& name, unsigned type,
                std::vector<unsigned char> bytes)
{
    long status = kRegistryOk;
    RegistryAccess access{};
    Node* node = calledNode(key, &status, &access);
    if (!node) {
        return status;
    }
    if (access != RegistryAccess::Full) {
        return kRegistryAccessDenied;
    }
    if (Value* existing = findValue(node, name)) {
        existing->type = type;
        existing->bytes = std::move(bytes);
    } else {
        node->values.push_back(Value{name, type, std::move(bytes)});
    }
    return kRegistryOk;
}

} // namespace

long registryConnect(const std::string& computer, RegistryHandle root, RegistryHandle* result)
{
    auto& reg = registry();
    if (!isPredefinedRoot(root)) {
        return 6; // ERROR_INVALID_HANDLE
    }
    std::string name = computer;
    while (name.rfind("\\\\", 0) == 0 || name.rfind("\\", 0) == 0) {
        name.erase(0, 1);
    }
    if (name.empty()) {
        *result = root;
        return kRegistryOk;
    }
    auto known = std::find_if(reg.remoteComputers.begin(), reg.remoteComputers.end(),
                              [&](const std::string& c) { return sameName(c, name); });
    if (known == reg.remoteComputers.end()) {
        return memory_registry::kRegistryBadNetPath;
    }
    RegistryHandle handle = reg.nextHandle;
    reg.nextHandle += 4;
    reg.connections[handle] = {*known, root};
    *result = handle;
    return kRegistryOk;
}

long registryCreateKey(RegistryHandle root, const std::string& path, RegistryHandle* result)
{
    if (fault_injection::shouldFail()) {
        return kRegistryAccessDenied;
    }
    Node* node = nullptr;
    long status = walk(root, path, true, &node);
    if (status != kRegistryOk) {
        return status;
    }
    *result = newHandle(node, RegistryAccess::Full);
    return kRegistryOk;
}

long registryOpenKey(RegistryHandle root, const std::string& path, RegistryAccess access,
                     RegistryHandle* result)
{
    if (fault_injection::shouldFail()) {
        return kRegistryAccessDenied;
    }
    Node* node = nullptr;
    long status = walk(root, path, false, &node);
    if (status != kRegistryOk) {
        return status;
    }
    *result = newHandle(node, access);
    return kRegistryOk;
}

long registryEnumKey(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    if (fault_injection::shouldFail()) {
        return kRegistryAccessDenied;
    }
    long status = kRegistryOk;
    Node* node = nodeOf(key, &status);
    if (!node) {
        return status;
    }
    if (index >= node->children.size()) {
        return kRegistryNoMoreItems;
    }
    const std::string& childName = node->children[index]->name;
    if (childName.size() + 1 > *nameLength) {
        return kRegistryMoreData; // the length is left as it was, as Win32 does
    }
    std::memcpy(name, childName.c_str(), childName.size() + 1);
    *nameLength = static_cast<unsigned>(childName.size());
    return kRegistryOk;
}

long registryEnumValue(RegistryHandle key, unsigned index, char* name, unsigned* nameLength)
{
    long status = kRegistryOk;
    RegistryAccess access{};
    Node* node = calledNode(key, &status, &access);
    if (!node) {
        return status;
    }
    if (!mayQuery(access)) {
        return kRegistryAccessDenied;
    }
    if (index >= node->values.size()) {
        return kRegistryNoMoreItems;
    }
    const std::string& valueName = node->values[index].name;
    if (valueName.size() + 1 > *nameLength) {
        return kRegistryMoreData;
    }
    std::memcpy(name, valueName.c_str(), valueName.size() + 1);
    *nameLength = static_cast<unsigned>(valueName.size());
    return kRegistryOk;
}

long registryDeleteKey(RegistryHandle root, const std::string& path)
{
    if (fault_injection::shouldFail()) {
        return kRegistryAccessDenied;
    }
    Node* node = nullptr;
    long status = walk(root, path, false, &node);
    if (status != kRegistryOk) {
        return status;
    }
    if (!node->parent || !node->children.empty() || node->undeletable) {
        return kRegistryAccessDenied;
    }
    for (auto& [handle, open] : registry().handles) {
        if (open.node == node) {
            open.node = nullptr;
        }
    }
    auto& siblings = node->parent->children;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [&](const auto& child) { return child.get() == node; }));
    return kRegistryOk;
}

long registryQueryValue(RegistryHandle key, const std::string& name, unsigned* type, void* data,
                        unsigned* size)
{
    long status = kRegistryOk;
    const Value* value = queriedValue(key, name, &status);
    if (!value) {
        return status;
    }
    if (type) {
        *type = value->type;
    }
    // Texts are kept in UTF-16 as Windows keeps them and given in UTF-8, as the seam converts them.
    const std::string_view stored(reinterpret_cast<const char*>(value->bytes.data()),
                                  value->bytes.size());
    std::string converted;
    if (isTextType(value->type)) {
        bool exact = true;
        converted = textFromUtf16LittleEndian(stored, &exact);
    }
    const std::string_view given = isTextType(value->type) ? std::string_view(converted) : stored;
    const auto needed = static_cast<unsigned>(given.size());
    if (!data) {
        if (size) {
            *size = needed;
        }
        return kRegistryOk;
    }
    if (!size) {
        return 998; // ERROR_NOACCESS: data without a size
    }
    if (*size < needed) {
        *size = needed;
        return kRegistryMoreData;
    }
    if (needed > 0) {
        std::memcpy(data, given.data(), needed);
    }
    *size = needed;
    return kRegistryOk;
}

long registrySetValue(RegistryHandle key, const std::string& name, unsigned type, const void* data,
                      unsigned size)
{
    std::string given(static_cast<const char*>(data), data ? size : 0);
    if (isTextType(type)) {
        given = utf16LittleEndian(given);
    }
    return storeValue(key, name, type, {given.begin(), given.end()});
}

long registryQueryStoredValue(RegistryHandle key, const std::string& name, unsigned* type,
                              std::string* data)
{
    long status = kRegistryOk;
    const Value* value = queriedValue(key, name, &status);
    if (!value) {
        return status;
    }
    *type = value->type;
    data->assign(value->bytes.begin(), value->bytes.end());
    return kRegistryOk;
}

long registrySetStoredValue(RegistryHandle key, const std::string& name, unsigned type,
                            const std::string& data)
{
    return storeValue(key, name, type, {data.begin(), data.end()});
}

void registryCloseKey(RegistryHandle key)
{
    auto& reg = registry();
    reg.handles.erase(key);
    reg.connections.erase(key);
}

namespace {
bool separate32BitView = true; // as on 64-bit Windows
} // namespace

bool registryHasSeparate32BitView() { return separate32BitView; }

namespace memory_registry {

void setSeparate32BitView(bool separate) { separate32BitView = separate; }

void reset()
{
    auto& reg = registry();
    reg.roots.clear();
    reg.remoteComputers.clear();
    reg.handles.clear();
    reg.connections.clear();
}

bool setUndeletable(RegistryHandle root, const std::string& path, bool undeletable)
{
    Node* node = nullptr;
    if (walk(root, path, false, &node) != kRegistryOk) {
        return false;
    }
    node->undeletable = undeletable;
    return true;
}

void addRemoteComputer(const std::string& computer)
{
    registry().remoteComputers.push_back(computer);
}

int openHandleCount()
{
    auto& reg = registry();
    return static_cast<int>(reg.handles.size() + reg.connections.size());
}

} // namespace memory_registry

} // namespace oxlo::platform
