#include "ActionValues.h"

#include <ostream>

#include "ActionText.h"

ReferenceForm ReferenceForm::Class(FourCharCode classCode) {
    ReferenceForm form;
    form.kind = Kind::Class;
    form.classCode = classCode;
    return form;
}

ReferenceForm ReferenceForm::Property(FourCharCode classCode, FourCharCode key) {
    ReferenceForm form;
    form.kind = Kind::Property;
    form.classCode = classCode;
    form.key = key;
    return form;
}

ReferenceForm ReferenceForm::Enumerated(FourCharCode classCode, FourCharCode type, FourCharCode value) {
    ReferenceForm form;
    form.kind = Kind::Enumerated;
    form.classCode = classCode;
    form.type = type;
    form.value = value;
    return form;
}

bool operator==(const ReferenceForm& a, const ReferenceForm& b) {
    if (a.kind != b.kind || a.classCode != b.classCode) return false;
    switch (a.kind) {
        case ReferenceForm::Kind::Class:
            return true;
        case ReferenceForm::Kind::Property:
            return a.key == b.key;
        case ReferenceForm::Kind::Enumerated:
            return a.type == b.type && a.value == b.value;
    }
    return false;
}

bool operator==(const ReferenceValue& a, const ReferenceValue& b) { return a.forms == b.forms; }

DescriptorValue::DescriptorValue(std::initializer_list<DescriptorEntry> entries) {
    for (const DescriptorEntry& entry : entries) Put(entry.key, entry.value);
}

const ActionValue* DescriptorValue::Find(FourCharCode key) const {
    for (const DescriptorEntry& entry : entries_)
        if (entry.key == key) return &entry.value;
    return nullptr;
}

void DescriptorValue::Put(FourCharCode key, const ActionValue& value) {
    for (DescriptorEntry& entry : entries_) {
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    }
    entries_.push_back(DescriptorEntry{key, value});
}

bool operator==(const DescriptorValue& a, const DescriptorValue& b) { return a.Entries() == b.Entries(); }

ActionValue ActionValue::Integer(int32_t value) {
    ActionValue result;
    result.kind = ValueKind::Integer;
    result.integer = value;
    return result;
}

ActionValue ActionValue::Float(double value) {
    ActionValue result;
    result.kind = ValueKind::Float;
    result.number = value;
    return result;
}

ActionValue ActionValue::Boolean(bool value) {
    ActionValue result;
    result.kind = ValueKind::Boolean;
    result.flag = value;
    return result;
}

ActionValue ActionValue::Enumerated(FourCharCode type, FourCharCode value) {
    ActionValue result;
    result.kind = ValueKind::Enumerated;
    result.enumType = type;
    result.enumValue = value;
    return result;
}

ActionValue ActionValue::Class(FourCharCode classCode) {
    ActionValue result;
    result.kind = ValueKind::Class;
    result.classCode = classCode;
    return result;
}

ActionValue ActionValue::Reference(const ReferenceValue& reference) {
    ActionValue result;
    result.kind = ValueKind::Reference;
    result.reference = reference;
    return result;
}

ActionValue ActionValue::List(const std::vector<ActionValue>& items) {
    ActionValue result;
    result.kind = ValueKind::List;
    result.items = items;
    return result;
}

ActionValue ActionValue::Object(FourCharCode classCode, const DescriptorValue& object) {
    ActionValue result;
    result.kind = ValueKind::Object;
    result.classCode = classCode;
    result.object = object;
    return result;
}

bool operator==(const ActionValue& a, const ActionValue& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case ValueKind::Integer:
            return a.integer == b.integer;
        case ValueKind::Float:
            return a.number == b.number;
        case ValueKind::Boolean:
            return a.flag == b.flag;
        case ValueKind::Enumerated:
            return a.enumType == b.enumType && a.enumValue == b.enumValue;
        case ValueKind::Class:
            return a.classCode == b.classCode;
        case ValueKind::Reference:
            return a.reference == b.reference;
        case ValueKind::List:
            return a.items == b.items;
        case ValueKind::Object:
            return a.classCode == b.classCode && a.object == b.object;
    }
    return false;
}

bool operator==(const PlayedEvent& a, const PlayedEvent& b) {
    return a.event == b.event && a.descriptor == b.descriptor && a.dialogOption == b.dialogOption &&
           a.status == b.status;
}

bool operator==(const DescriptorEntry& a, const DescriptorEntry& b) { return a.key == b.key && a.value == b.value; }

std::ostream& operator<<(std::ostream& out, const ActionValue& value) { return out << ValueText(value); }
std::ostream& operator<<(std::ostream& out, const DescriptorValue& descriptor) {
    return out << DescriptorText(descriptor);
}
std::ostream& operator<<(std::ostream& out, const ReferenceValue& reference) { return out << ReferenceText(reference); }
std::ostream& operator<<(std::ostream& out, const PlayedEvent& event) { return out << PlayedText(event); }
