#pragma once
#include <Brio/Base/Status.h>
#include <Brio/Base/XMLNode.h>
#include <Brio/Base/XMLString.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace Brio {

/// An XML document in memory: read from and written to UTF-8 files. The handles it gives out
/// (XMLNode, XMLAttribute) stay valid while the document holds what they name.
class XMLDocument {
public:
    XMLDocument();
    ~XMLDocument();
    XMLDocument(XMLDocument&&) noexcept;
    XMLDocument& operator=(XMLDocument&&) noexcept;
    XMLDocument(const XMLDocument&) = delete;
    XMLDocument& operator=(const XMLDocument&) = delete;

    /// Reads the file. A missing or unreadable file, malformed XML or a file without a root
    /// element is an error naming the file and, for malformed XML, the line and column; the
    /// document is then left as it was.
    Status load(const std::filesystem::path& path);
    /// As load, from text in memory.
    Status loadFromText(std::string_view text);
    /// Writes the document, indented, through AtomicFile: a failed save leaves the old file
    /// as it was.
    Status save(const std::filesystem::path& path) const;
    /// The document as indented text, with the XML declaration.
    std::string formattedXml() const;

    /// The root element; null when the document is empty.
    XMLNode root() const;
    /// A new element appended to parent, or, with a null parent, the new root element
    /// (replacing any root there was). Null when name is not a valid XML name.
    XMLNode createNode(const XMLString& name, XMLNode parent = XMLNode());
    /// Empties the document; every handle into it becomes dangling.
    void clear();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
