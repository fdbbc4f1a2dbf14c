#pragma once
// An XML file as a strict XML 1.0 parser (libxml2) reads it, queried by XPath.

#include <memory>
#include <string>

class XmlDocument {
public:
    // Parses `text`; ok() is false, and error() says why, when it is not well-formed.
    explicit XmlDocument(const std::string& text);
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    bool ok() const { return m_document != nullptr; }
    const std::string& error() const { return m_error; }
    // The XPath expression's value as a string ("" when it selects nothing).
    std::string text(const std::string& xpath) const;

private:
    void* m_document = nullptr;
    std::string m_error;
};
