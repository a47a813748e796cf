#include "core/xlsx_xml.h"

#include <expat.h>

#include <exception>
#include <memory>

namespace pelmar::xlsx {
namespace {

struct ParserFree {
    void operator()(XML_ParserStruct* parser) const noexcept { XML_ParserFree(parser); }
};

// Carries a handler's exception across expat, which is C: the callback
// stops the parser and the exception is thrown again once XML_Parse returns.
class Parse {
public:
    Parse(const std::string& part, XmlHandler& handler)
            : part_(part), handler_(handler), parser_(XML_ParserCreate(nullptr)) {
        if (!parser_) throw std::bad_alloc();
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &Parse::OnStart, &Parse::OnEnd);
        XML_SetCharacterDataHandler(parser_.get(), &Parse::OnText);
        XML_SetStartDoctypeDeclHandler(parser_.get(), &Parse::OnDoctype);
        XML_SetParamEntityParsing(parser_.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    }

    void Feed(std::string_view piece, bool last) {
        while (!piece.empty() || last) {
            // XML_Parse takes an int length: feed a huge piece in slices.
            const std::size_t slice = std::min<std::size_t>(piece.size(), 1 << 30);
            const bool final = last && slice == piece.size();
            const XML_Status status = XML_Parse(parser_.get(), piece.data(), static_cast<int>(slice), final);
            if (failure_) std::rethrow_exception(failure_);
            if (status != XML_STATUS_OK)
                Refuse("The workbook's part " + part_ + " is not well-formed XML (" +
                       XML_ErrorString(XML_GetErrorCode(parser_.get())) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser_.get())) + ").");
            piece.remove_prefix(slice);
            if (final) return;
        }
    }

private:
    template <typename F>
    static void Guard(void* data, F&& call) {
        auto* self = static_cast<Parse*>(data);
        if (self->failure_) return;
        try {
            call(*self);
        } catch (...) {
            self->failure_ = std::current_exception();
            XML_StopParser(self->parser_.get(), XML_FALSE);
        }
    }

    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
        Guard(data, [&](Parse& self) { self.handler_.Start(LocalName(name), attributes); });
    }
    static void XMLCALL OnEnd(void* data, const XML_Char* name) {
        Guard(data, [&](Parse& self) { self.handler_.End(LocalName(name)); });
    }
    static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
        Guard(data, [&](Parse& self) { self.handler_.Text(std::string_view(text, static_cast<std::size_t>(length))); });
    }
    static void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        Guard(data, [](Parse& self) {
            Refuse("The workbook's part " + self.part_ + " declares a document type (entities are not read).");
        });
    }

    const std::string& part_;
    XmlHandler& handler_;
    std::unique_ptr<XML_ParserStruct, ParserFree> parser_;
    std::exception_ptr failure_;
};

}  // namespace

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view Attribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; a && a[0]; a += 2)
        if (LocalName(a[0]) == name) return a[1];
    return {};
}

void ParsePart(const ZipArchive& archive, const std::string& part, XmlHandler& handler) {
    Parse parse(part, handler);
    archive.Read(part, [&](std::string_view piece) { parse.Feed(piece, false); });
    parse.Feed({}, true);
}

}  // namespace pelmar::xlsx
