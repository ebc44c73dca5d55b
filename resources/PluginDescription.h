// The fields of the property list ("PIPL") and the terminology resource
// ("AETE") that the host reads from the module, and the writers that turn
// them into bytes. Lengths, padding and offsets follow from the fields.
#ifndef LUMACUT_RESOURCES_PLUGIN_DESCRIPTION_H
#define LUMACUT_RESOURCES_PLUGIN_DESCRIPTION_H

#include <cstdint>
#include <string>
#include <vector>

// Where the host finds the scripting terminology of the plug-in's event.
struct TerminologyLink {
    int32_t version = 0;
    std::string eventClass;
    std::string eventId;
    int16_t resourceId = 0;
    std::string scope;
};

struct PropertyListFields {
    std::string vendor;    // the code every property carries
    std::string kind;      // the kind of plug-in
    std::string name;      // the command the host lists
    std::string category;
    uint16_t interfaceMajor = 0;  // host plug-in interface written for
    uint16_t interfaceMinor = 0;
    std::string entryPoint;       // exported function the host calls
    TerminologyLink terminology;
    std::string enableCondition;  // when the host enables the command
};

// Flag bits of a terminology parameter word.
enum TerminologyFlag : uint16_t {
    kTermOptional = 0x8000,
    kTermListOfItems = 0x4000,
    kTermEnumerated = 0x2000,
    kTermChangesState = 0x1000,
};

struct TerminologyParameter {
    std::string name;
    std::string keyword;
    std::string type;
    std::string description;
    uint16_t flags = 0;
};

struct TerminologyEvent {
    std::string name;
    std::string description;
    std::string eventClass;
    std::string eventId;
    std::string replyType;
    std::string replyDescription;
    uint16_t replyFlags = 0;
    std::string directType;
    std::string directDescription;
    uint16_t directFlags = 0;
    std::vector<TerminologyParameter> parameters;
};

// A suite of events; the plug-in defines no classes, comparison operators
// or enumerations, so their counts are written as zero.
struct TerminologySuite {
    std::string name;
    std::string description;
    std::string id;
    uint16_t level = 0;
    uint16_t version = 0;
    std::vector<TerminologyEvent> events;
};

struct TerminologyFields {
    uint8_t formatMajor = 1;
    uint8_t formatMinor = 0;
    uint16_t language = 0;
    uint16_t script = 0;
    std::vector<TerminologySuite> suites;
};

// The plug-in's own description: one place for every name and code.
PropertyListFields LumacutPropertyList();
TerminologyFields LumacutTerminology();

// The machine the module's code is built for. The host looks for the entry
// point under a property key named after its own machine, so a module
// built for the other one is never called.
enum class CodeMachine { kX86, kX64 };

// Throw ResourceFieldError for a field that cannot be written.
std::vector<uint8_t> WritePropertyList(const PropertyListFields& fields, CodeMachine machine);
std::vector<uint8_t> WriteTerminology(const TerminologyFields& fields);

#endif
