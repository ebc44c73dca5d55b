// The Actions-suite operations themselves: each counts its call, checks
// every handle it is given, honours an injected failure, then does its work
// on copies, as the host does.
#include "ActionText.h"
#include "ActionsHost.h"
#include "HostStatusCodes.h"
#include "StandInHost.h"

template <typename Out>
HostStatus ActionsHost::MakeInto(Kind kind, Out* out, const std::string& operation) {
    const HostStatus injected = Enter(operation);
    if (out == nullptr) {
        host_.Error(operation + " without an out pointer");
        return Finish(operation, "", "", kParamError);
    }
    if (injected != 0) {
        if (junkOutOnFailedMake_) *out = reinterpret_cast<Out>(&junk_);
        return Finish(operation, "", "", injected);
    }
    Handle* made = Make(kind, false);
    *out = reinterpret_cast<Out>(made);
    return Finish(operation, "", "-> " + Label(*made), 0, Label(*made));
}

HostStatus ActionsHost::Free(const void* handle, Kind kind, const std::string& operation) {
    const HostStatus injected = Enter(operation);
    Handle* found = Use(handle, kind, operation);
    if (found == nullptr) return Finish(operation, Label(handle), Label(handle), kParamError);
    // An injected failure still releases: the plug-in can do nothing about a
    // failed Free, so what is under test is only how it treats the code.
    found->live = false;
    found->descriptor = DescriptorValue();
    found->reference = ReferenceValue();
    found->list.clear();
    return Finish(operation, Label(*found), Label(*found), injected);
}

HostStatus ActionsHost::PutValue(ActionDescriptor d, FourCharCode key, const ActionValue& value,
                                 const std::string& operation, const std::string& detail) {
    const HostStatus injected = Enter(operation);
    Handle* target = Use(d, Kind::Descriptor, operation);
    const std::string label = Label(d);
    const std::string text = label + " " + CodeText(key) + " " + detail;
    if (target == nullptr) return Finish(operation, label, text, kParamError);
    if (injected != 0) return Finish(operation, label, text, injected);
    target->descriptor.Put(key, value);
    return Finish(operation, label, text, 0);
}

HostStatus ActionsHost::DescriptorMake(ActionDescriptor* descriptor) {
    return MakeInto(Kind::Descriptor, descriptor, "DescriptorMake");
}

HostStatus ActionsHost::DescriptorFree(ActionDescriptor descriptor) {
    return Free(descriptor, Kind::Descriptor, "DescriptorFree");
}

HostStatus ActionsHost::DescriptorPutInteger(ActionDescriptor d, FourCharCode key, int32_t value) {
    return PutValue(d, key, ActionValue::Integer(value), "DescriptorPutInteger", std::to_string(value));
}

HostStatus ActionsHost::DescriptorPutFloat(ActionDescriptor d, FourCharCode key, double value) {
    return PutValue(d, key, ActionValue::Float(value), "DescriptorPutFloat", FloatText(value));
}

HostStatus ActionsHost::DescriptorPutBoolean(ActionDescriptor d, FourCharCode key, HostBoolean value) {
    return PutValue(d, key, ActionValue::Boolean(value != 0), "DescriptorPutBoolean", value != 0 ? "true" : "false");
}

HostStatus ActionsHost::DescriptorPutEnumerated(ActionDescriptor d, FourCharCode key, FourCharCode type,
                                                FourCharCode value) {
    return PutValue(d, key, ActionValue::Enumerated(type, value), "DescriptorPutEnumerated",
                    CodeText(type) + " " + CodeText(value));
}

HostStatus ActionsHost::DescriptorPutClass(ActionDescriptor d, FourCharCode key, FourCharCode classCode) {
    return PutValue(d, key, ActionValue::Class(classCode), "DescriptorPutClass", CodeText(classCode));
}

HostStatus ActionsHost::PutCopyOf(ActionDescriptor d, FourCharCode key, const void* source, Kind kind,
                                  const std::string& operation) {
    // The inner handle is checked first: a bad one must not reach the copy.
    Handle* found = Use(source, kind, operation);
    if (found == nullptr) {
        Enter(operation);
        return Finish(operation, Label(d), Label(d) + " " + CodeText(key), kParamError);
    }
    const ActionValue value =
        kind == Kind::Reference ? ActionValue::Reference(found->reference) : ActionValue::List(found->list);
    return PutValue(d, key, value, operation, Label(*found));
}

HostStatus ActionsHost::DescriptorPutReference(ActionDescriptor d, FourCharCode key, ActionReference reference) {
    return PutCopyOf(d, key, reference, Kind::Reference, "DescriptorPutReference");
}

HostStatus ActionsHost::DescriptorPutList(ActionDescriptor d, FourCharCode key, ActionList list) {
    return PutCopyOf(d, key, list, Kind::List, "DescriptorPutList");
}

HostStatus ActionsHost::DescriptorGetInteger(ActionDescriptor d, FourCharCode key, int32_t* value) {
    const std::string operation = "DescriptorGetInteger";
    const HostStatus injected = Enter(operation);
    Handle* source = Use(d, Kind::Descriptor, operation);
    const std::string label = Label(d);
    const std::string text = label + " " + CodeText(key);
    if (source == nullptr) return Finish(operation, label, text, kParamError);
    if (value == nullptr) {
        host_.Error(operation + " without an out pointer");
        return Finish(operation, label, text, kParamError);
    }
    if (injected != 0) return Finish(operation, label, text, injected);
    const ActionValue* found = source->descriptor.Find(key);
    if (found == nullptr) return Finish(operation, label, text, kDescriptorKeyMissing);
    if (found->kind != ValueKind::Integer) return Finish(operation, label, text, kDescriptorWrongType);
    *value = found->integer;
    return Finish(operation, label, text + " -> " + std::to_string(found->integer), 0);
}

HostStatus ActionsHost::Play(ActionDescriptor* result, FourCharCode event, ActionDescriptor descriptor,
                             int32_t dialogOption) {
    const std::string operation = "Play";
    const HostStatus injected = Enter(operation);
    PlayedEvent played;
    played.event = event;
    played.dialogOption = dialogOption;
    std::string label;
    if (descriptor != nullptr) {
        Handle* source = Use(descriptor, Kind::Descriptor, operation);
        if (source == nullptr) return Finish(operation, "", CodeText(event), kParamError);
        played.descriptor = source->descriptor;
        label = Label(*source);
    }
    if (result == nullptr) {
        host_.Error("Play without a result out pointer");
        return Finish(operation, label, CodeText(event), kParamError);
    }
    if (*result != nullptr) host_.Error("Play given a result descriptor that is not empty: " + Label(*result));

    played.status = injected;
    if (played.status == 0 && playHandler_) played.status = playHandler_(played);
    played_.push_back(played);
    host_.Record(PlayedText(played));
    std::string made;
    if (playFillsResult_) {
        Handle* filled = Make(Kind::Descriptor, false);
        *result = reinterpret_cast<ActionDescriptor>(filled);
        made = Label(*filled);
        host_.Record("  (result " + made + ")");
    }
    calls_.push_back(ActionsCall{operation, label, made, played.status});
    if (played.status != 0) host_.Record("  -> status " + std::to_string(played.status));
    return played.status;
}

HostStatus ActionsHost::ReferenceMake(ActionReference* reference) {
    return MakeInto(Kind::Reference, reference, "ReferenceMake");
}

HostStatus ActionsHost::ReferenceFree(ActionReference reference) {
    return Free(reference, Kind::Reference, "ReferenceFree");
}

namespace {
const char* const kReferenceForms[] = {"ReferencePutClass", "ReferencePutProperty", "ReferencePutEnumerated"};
}

HostStatus ActionsHost::ReferencePutClass(ActionReference r, FourCharCode classCode) {
    return ReferencePutForm(r, ReferenceForm::Class(classCode));
}

HostStatus ActionsHost::ReferencePutProperty(ActionReference r, FourCharCode classCode, FourCharCode key) {
    return ReferencePutForm(r, ReferenceForm::Property(classCode, key));
}

HostStatus ActionsHost::ReferencePutEnumerated(ActionReference r, FourCharCode classCode, FourCharCode type,
                                               FourCharCode value) {
    return ReferencePutForm(r, ReferenceForm::Enumerated(classCode, type, value));
}

HostStatus ActionsHost::ReferencePutForm(ActionReference r, const ReferenceForm& form) {
    const std::string operation = kReferenceForms[static_cast<int>(form.kind)];
    const HostStatus injected = Enter(operation);
    Handle* target = Use(r, Kind::Reference, operation);
    const std::string label = Label(r);
    ReferenceValue shown;
    shown.forms.push_back(form);
    const std::string text = label + " " + ReferenceText(shown);
    if (target == nullptr) return Finish(operation, label, text, kParamError);
    if (injected != 0) return Finish(operation, label, text, injected);
    target->reference.forms.push_back(form);
    return Finish(operation, label, text, 0);
}

HostStatus ActionsHost::ListMake(ActionList* list) { return MakeInto(Kind::List, list, "ListMake"); }

HostStatus ActionsHost::ListFree(ActionList list) { return Free(list, Kind::List, "ListFree"); }

HostStatus ActionsHost::ListPutObject(ActionList l, FourCharCode classCode, ActionDescriptor object) {
    const std::string operation = "ListPutObject";
    const HostStatus injected = Enter(operation);
    Handle* target = Use(l, Kind::List, operation);
    Handle* source = target != nullptr ? Use(object, Kind::Descriptor, operation) : nullptr;
    const std::string label = Label(l);
    const std::string text = label + " " + CodeText(classCode) + " " + Label(object);
    if (target == nullptr || source == nullptr) return Finish(operation, label, text, kParamError);
    if (injected != 0) return Finish(operation, label, text, injected);
    target->list.push_back(ActionValue::Object(classCode, source->descriptor));
    return Finish(operation, label, text, 0);
}
