// parseXmlDocument over XmlLite. MinGW ships xmllite.h but no import library, so CreateXmlReader
// comes from xmllite.dll (in every Windows since XP SP3, and in Wine) at its first use.
#include "platform/xml.h"
#include "platform/xml_tree.h"
#include "platform/win32/win32_handles.h"

#include "platform/win32/wide_text.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <climits>

namespace oxlo::platform {
namespace {

// Owns one reference to a COM object.
template <typename Interface>
class ComOwner {
public:
    ComOwner() = default;
    ComOwner(const ComOwner&) = delete;
    ComOwner& operator=(const ComOwner&) = delete;
    ~ComOwner()
    {
        if (pointer_) pointer_->Release();
    }
    Interface* get() const { return pointer_; }
    Interface** out() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

constexpr GUID kXmlReaderInterface = {
    0x7279fc81, 0x709d, 0x4095, {0xb6, 0x3d, 0x69, 0xfe, 0x4b, 0x0d, 0x90, 0x30}};

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction createXmlReader()
{
    static const win32::UniqueLibrary library(::LoadLibraryW(L"xmllite.dll"));
    static const auto function =
        library ? reinterpret_cast<CreateXmlReaderFunction>(
                      reinterpret_cast<void*>(::GetProcAddress(library.get(), "CreateXmlReader")))
                : nullptr;
    return function;
}

std::string utf8Of(const WCHAR* text, UINT length)
{
    if (text == nullptr || length > INT_MAX / 3) return {};
    return win32::utf8(text, length);
}

} // namespace

std::optional<XmlElement> parseXmlDocument(std::string_view bytes)
{
    const CreateXmlReaderFunction create = createXmlReader();
    if (create == nullptr || bytes.size() > UINT_MAX) return std::nullopt;
    ComOwner<IStream> stream;
    *stream.out() = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                        static_cast<UINT>(bytes.size()));
    ComOwner<IXmlReader> reader;
    if (stream.get() == nullptr ||
        FAILED(create(kXmlReaderInterface, reinterpret_cast<void**>(reader.out()), nullptr)) ||
        FAILED(reader.get()->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
        FAILED(reader.get()->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxXmlDepth + 1)) ||
        FAILED(reader.get()->SetInput(stream.get())))
        return std::nullopt;

    XmlTreeBuilder tree;
    XmlNodeType type = XmlNodeType_None;
    HRESULT status = S_OK;
    while ((status = reader.get()->Read(&type)) == S_OK) {
        const WCHAR* value = nullptr;
        UINT length = 0;
        switch (type) {
        case XmlNodeType_Element: {
            const bool empty = reader.get()->IsEmptyElement() != FALSE;
            const WCHAR* uri = nullptr;
            UINT uriLength = 0;
            if (FAILED(reader.get()->GetNamespaceUri(&uri, &uriLength)) ||
                FAILED(reader.get()->GetLocalName(&value, &length)) ||
                !tree.open(utf8Of(uri, uriLength), utf8Of(value, length)))
                return std::nullopt;
            if (empty) tree.close();
            break;
        }
        case XmlNodeType_EndElement:
            if (!tree.close()) return std::nullopt;
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (FAILED(reader.get()->GetValue(&value, &length))) return std::nullopt;
            tree.text(utf8Of(value, length));
            break;
        case XmlNodeType_DocumentType:
            return std::nullopt;
        default:
            break; // comments, processing instructions, the declaration
        }
    }
    if (status != S_FALSE) return std::nullopt;
    return tree.finish();
}

} // namespace oxlo::platform
