#include <Brio/Base/XMLDocument.h>

#include <Brio/Base/AtomicFile.h>
#include <Brio/Base/StringConversion.h>

#include <pugixml.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

namespace {
enum EXMLStatus { eCannotRead = 1, eMalformed = 2, eCannotWrite = 3 };

std::wstring PathText(const fs::path& p) {
    return Utility::toWide(p.string());
}

/// Line and column (from 1) of a byte offset, for error messages a person can act on.
std::pair<int, int> LineAndColumn(std::string_view text, std::ptrdiff_t offset) {
    int line = 1, column = 1;
    const std::size_t end = offset < 0 ? 0 : std::min<std::size_t>(std::size_t(offset), text.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column; // count characters, not UTF-8 continuation bytes
        }
    }
    return {line, column};
}
} // namespace

struct XMLDocument::Impl {
    pugi::xml_document doc;

    Status parse(std::string_view text, const std::wstring& source) {
        pugi::xml_document fresh; // parsed aside so that a failure leaves the document as it was
        pugi::xml_parse_result result =
            fresh.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
        if (!result) {
            auto [line, column] = LineAndColumn(text, result.offset);
            return Status::error(eMalformed, L"Malformed XML in " + source + L" at line " + std::to_wstring(line) +
                                                 L", column " + std::to_wstring(column) + L": " +
                                                 Utility::toWide(result.description()));
        }
        if (!fresh.document_element())
            return Status::error(eMalformed, L"No root element in " + source);
        int roots = 0;
        for (pugi::xml_node n = fresh.first_child(); n; n = n.next_sibling())
            roots += n.type() == pugi::node_element;
        if (roots > 1) // the parser takes fragments; a document has one root
            return Status::error(eMalformed, L"More than one root element in " + source);
        doc = std::move(fresh);
        return Status::success();
    }
};

XMLDocument::XMLDocument() : m_impl(std::make_unique<Impl>()) {}
XMLDocument::~XMLDocument() = default;
XMLDocument::XMLDocument(XMLDocument&&) noexcept = default;
XMLDocument& XMLDocument::operator=(XMLDocument&&) noexcept = default;

Status XMLDocument::load(const fs::path& path) {
    if (!m_impl)
        m_impl = std::make_unique<Impl>();
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return Status::error(eCannotRead, L"Cannot read XML file " + PathText(path) + L": it is a directory");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Status::error(eCannotRead,
                             L"Cannot open XML file " + PathText(path) + L": " + Utility::toWide(std::strerror(errno)));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return Status::error(eCannotRead, L"Cannot read XML file " + PathText(path));
    return m_impl->parse(text, PathText(path));
}

Status XMLDocument::loadFromText(std::string_view text) {
    if (!m_impl)
        m_impl = std::make_unique<Impl>();
    return m_impl->parse(text, L"text");
}

Status XMLDocument::save(const fs::path& path) const {
    const std::string text = formattedXml();
    Status written = AtomicFile::write(path, text);
    if (written.failed())
        return Status::error(eCannotWrite, written.message());
    return written;
}

std::string XMLDocument::formattedXml() const {
    std::ostringstream out;
    if (m_impl)
        m_impl->doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

XMLNode XMLDocument::root() const {
    return m_impl ? XMLNode(m_impl->doc.document_element().internal_object()) : XMLNode();
}

XMLNode XMLDocument::createNode(const XMLString& name, XMLNode parent) {
    if (!XMLNode::isValidName(name))
        return {};
    if (parent)
        return parent.appendChild(name);
    if (!m_impl)
        m_impl = std::make_unique<Impl>();
    if (pugi::xml_node old = m_impl->doc.document_element())
        m_impl->doc.remove_child(old);
    return XMLNode(m_impl->doc.append_child(name.c_str()).internal_object());
}

void XMLDocument::clear() {
    if (m_impl)
        m_impl->doc.reset();
}

} // namespace Brio
