#include "PluginDescription.h"

#include <functional>

#include "ResourceIds.h"
#include "entry/interface/PluginModes.h"
#include "ResourceWriter.h"

namespace {
// Shared by both resources: the host pairs the property list's terminology
// link with the terminology resource through these.
const char* const kPluginName = "ZYT_Lumacut";
const char* const kEventClass = "zytS";
const char* const kEventId = "zytT";
const int16_t kTerminologyResourceId = LUMACUT_RESOURCE_ID;

// One property: vendor, key, id 0, data length, data. Data that ends in a
// string gets the padding rule; fixed-size data is exactly its four bytes.
void WriteProperty(ResourceWriter& out, const std::string& vendor, const std::string& key, bool endsInString,
                   const std::function<void(ResourceWriter&)>& data) {
    ResourceWriter body;
    data(body);
    if (endsInString) {
        const std::size_t padded = PaddedStringDataLength(body.Size());
        while (body.Size() < padded) body.U8(0);
    } else if (body.Size() != 4) {
        throw ResourceFieldError("fixed-size data of \"" + key + "\" is not four bytes");
    }
    out.FourCC(vendor);
    out.FourCC(key);
    out.I32(0);
    if (body.Size() > INT32_MAX) throw ResourceFieldError("data of \"" + key + "\" too long for its length field");
    out.I32(static_cast<int32_t>(body.Size()));
    out.Bytes(body.Data());
}

void WriteParameter(ResourceWriter& out, const TerminologyParameter& parameter) {
    out.PascalString(parameter.name);
    out.FourCC(parameter.keyword);
    out.FourCC(parameter.type);
    out.PascalString(parameter.description);
    out.U16(parameter.flags);
}

void WriteEvent(ResourceWriter& out, const TerminologyEvent& event) {
    out.PascalString(event.name);
    out.PascalString(event.description);
    out.FourCC(event.eventClass);
    out.FourCC(event.eventId);
    out.FourCC(event.replyType);
    out.PascalString(event.replyDescription);
    out.U16(event.replyFlags);
    out.FourCC(event.directType);
    out.PascalString(event.directDescription);
    out.U16(event.directFlags);
    out.Count16(event.parameters.size());
    for (const TerminologyParameter& parameter : event.parameters) WriteParameter(out, parameter);
}
}  // namespace

PropertyListFields LumacutPropertyList() {
    PropertyListFields fields;
    fields.vendor = "8BIM";
    fields.kind = "8LIZ";  // automation plug-in
    fields.name = kPluginName;
    fields.category = "ZYT";
    fields.interfaceMajor = 1;
    fields.interfaceMinor = 0;
    fields.entryPoint = "AutoPluginMain";
    fields.terminology = {0, kEventClass, kEventId, kTerminologyResourceId, kPluginName};
    fields.enableCondition = "true";
    return fields;
}

TerminologyFields LumacutTerminology() {
    TerminologyParameter mode;
    mode.name = "mode";
    mode.keyword = kModeKeyText;
    mode.type = "long";
    mode.flags = 0;  // required, single item, not enumerated

    TerminologyEvent event;
    event.name = kPluginName;
    event.description = "ZYT plugins";
    event.eventClass = kEventClass;
    event.eventId = kEventId;
    event.replyType = "null";  // the event returns nothing
    event.directType = "#ImR";  // the document the event acts on
    event.directFlags = kTermOptional | kTermEnumerated | kTermChangesState;
    event.parameters = {mode};

    TerminologySuite suite;
    suite.name = "ZYT";
    suite.description = "ZYT plugins";
    suite.id = kEventClass;  // the event class is the suite identifier
    suite.level = 1;
    suite.version = 1;
    suite.events = {event};

    TerminologyFields fields;
    fields.suites = {suite};
    return fields;
}

std::vector<uint8_t> WritePropertyList(const PropertyListFields& fields, CodeMachine machine) {
    const std::string& vendor = fields.vendor;
    ResourceWriter out;
    out.U16(1);  // leading word
    out.U32(0);  // property list version
    out.U32(0);  // number of properties, counted below
    int count = 0;
    auto property = [&](const char* key, bool endsInString, const std::function<void(ResourceWriter&)>& data) {
        WriteProperty(out, vendor, key, endsInString, data);
        ++count;
    };
    property("kind", false, [&](ResourceWriter& d) { d.FourCC(fields.kind); });
    property("name", true, [&](ResourceWriter& d) { d.PascalString(fields.name); });
    property("catg", true, [&](ResourceWriter& d) { d.PascalString(fields.category); });
    property("vers", false, [&](ResourceWriter& d) {
        d.U32(static_cast<uint32_t>(fields.interfaceMajor) << 16 | fields.interfaceMinor);
    });
    // Same data, same place for both machines; only the key differs.
    const char* const codeKey = machine == CodeMachine::kX64 ? "8664" : "wx86";
    property(codeKey, true, [&](ResourceWriter& d) { d.CString(fields.entryPoint); });
    property("hstm", true, [&](ResourceWriter& d) {
        const TerminologyLink& link = fields.terminology;
        d.I32(link.version);
        d.FourCC(link.eventClass);
        d.FourCC(link.eventId);
        d.I16(link.resourceId);
        d.CString(link.scope);
    });
    property("enbl", true, [&](ResourceWriter& d) { d.CString(fields.enableCondition); });
    out.PatchI32(6, count);
    return out.Data();
}

std::vector<uint8_t> WriteTerminology(const TerminologyFields& fields) {
    ResourceWriter out;
    out.U16(1);  // leading word of the Windows form
    out.U8(fields.formatMajor);
    out.U8(fields.formatMinor);
    out.U16(fields.language);
    out.U16(fields.script);
    out.Count16(fields.suites.size());
    for (const TerminologySuite& suite : fields.suites) {
        out.PascalString(suite.name);
        out.PascalString(suite.description);
        out.FourCC(suite.id);
        out.U16(suite.level);
        out.U16(suite.version);
        out.Count16(suite.events.size());
        for (const TerminologyEvent& event : suite.events) WriteEvent(out, event);
        out.U16(0);  // classes
        out.U16(0);  // comparison operators
        out.U16(0);  // enumerations
    }
    return out.Data();
}
