#include "XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/xpath.h>

namespace {

xmlXPathObjectPtr Evaluate(void* document, const std::string& xpath)
{
    xmlXPathContextPtr context = xmlXPathNewContext(static_cast<xmlDocPtr>(document));
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath.c_str()), context);
    xmlXPathFreeContext(context);
    return result;
}

} // namespace

XmlDocument::XmlDocument(const std::string& text)
{
    // No network, no entity expansion: the file is judged as it stands.
    m_document = xmlReadMemory(text.data(), static_cast<int>(text.size()), "junit.xml", nullptr,
                               XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (m_document == nullptr) {
        const xmlError* error = xmlGetLastError();
        m_error = error && error->message ? error->message : "not well-formed";
    }
}

XmlDocument::~XmlDocument()
{
    xmlFreeDoc(static_cast<xmlDocPtr>(m_document));
}

std::string XmlDocument::text(const std::string& xpath) const
{
    if (!ok())
        return {};
    xmlXPathObjectPtr value = Evaluate(m_document, "string(" + xpath + ")");
    std::string result;
    if (value && value->stringval)
        result = reinterpret_cast<const char*>(value->stringval);
    xmlXPathFreeObject(value);
    return result;
}
