#include "ResourceFormats.h"

namespace {
constexpr uint32_t kDsSetFont = 0x40;

// Reads a template front to back; each field is checked as it is taken.
class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& bytes) : view_(bytes) {}
    uint8_t U8() { return view_.U8(Advance(1)); }
    uint16_t U16() { return view_.U16(Advance(2)); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() { return view_.U32(Advance(4)); }
    std::vector<uint8_t> Take(std::size_t count) { return view_.Copy(Advance(count), count); }
    // Items start on 32-bit boundaries from the start of the template.
    void AlignTo4() {
        const std::size_t aligned = (at_ + 3) & ~static_cast<std::size_t>(3);
        view_.Require(aligned, 0, "an aligned item");
        at_ = aligned;
    }
    std::string String() {
        const std::size_t start = at_;
        std::size_t units = 0;
        while (U16() != 0) ++units;
        return Utf16ToUtf8(view_, start, units);
    }
    NameOrOrdinal NameOrOrdinalField() {
        NameOrOrdinal field;
        const uint16_t first = view_.U16(at_);
        if (first == 0) {
            at_ += 2;
        } else if (first == 0xFFFF) {
            at_ += 2;
            field.kind = NameOrOrdinal::kOrdinal;
            field.ordinal = U16();
        } else {
            field.kind = NameOrOrdinal::kText;
            field.text = String();
        }
        return field;
    }
private:
    std::size_t Advance(std::size_t count) {
        view_.Require(at_, count, "a dialog template field");
        const std::size_t was = at_;
        at_ += count;
        return was;
    }
    ByteView view_;
    std::size_t at_ = 0;
};
}  // namespace

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& bytes) {
    Cursor in(bytes);
    DialogTemplate dialog;
    const ByteView view(bytes);
    dialog.extended = view.Size() >= 4 && view.U16(0) == 1 && view.U16(2) == 0xFFFF;
    std::size_t count = 0;
    if (dialog.extended) {
        in.U32();  // version and signature
        dialog.helpId = in.U32();
        dialog.exStyle = in.U32();
        dialog.style = in.U32();
    } else {
        dialog.style = in.U32();
        dialog.exStyle = in.U32();
    }
    count = in.U16();
    dialog.x = in.I16();
    dialog.y = in.I16();
    dialog.cx = in.I16();
    dialog.cy = in.I16();
    dialog.menu = in.NameOrOrdinalField();
    dialog.windowClass = in.NameOrOrdinalField();
    dialog.title = in.String();
    dialog.hasFont = (dialog.style & kDsSetFont) != 0;  // DS_SHELLFONT includes it
    if (dialog.hasFont) {
        dialog.pointSize = in.U16();
        if (dialog.extended) {
            dialog.weight = in.U16();
            dialog.italic = in.U8();
            dialog.charset = in.U8();
        }
        dialog.typeface = in.String();
    }
    for (std::size_t i = 0; i < count; ++i) {
        in.AlignTo4();
        DialogItem item;
        if (dialog.extended) {
            item.helpId = in.U32();
            item.exStyle = in.U32();
            item.style = in.U32();
        } else {
            item.style = in.U32();
            item.exStyle = in.U32();
        }
        item.x = in.I16();
        item.y = in.I16();
        item.cx = in.I16();
        item.cy = in.I16();
        item.id = dialog.extended ? in.U32() : in.U16();
        item.windowClass = in.NameOrOrdinalField();
        item.title = in.NameOrOrdinalField();
        item.creationData = in.Take(in.U16());
        dialog.items.push_back(item);
    }
    return dialog;
}

std::string StringTableEntry(const std::vector<uint8_t>& block, unsigned index) {
    if (index > 15) throw PeFormatError("a string-table block holds 16 strings");
    const ByteView view(block);
    std::size_t at = 0;
    for (unsigned i = 0;; ++i) {
        const std::size_t units = view.U16(at);
        if (i == index) return Utf16ToUtf8(view, at + 2, units);
        at += 2 + 2 * units;
    }
}

BitmapInfo ParseBitmapInfo(const std::vector<uint8_t>& bytes) {
    const ByteView view(bytes);
    view.Require(0, 40, "a BITMAPINFOHEADER");
    BitmapInfo info;
    info.headerSize = view.U32(0);
    if (info.headerSize < 40) throw PeFormatError("not a BITMAPINFOHEADER");
    info.width = static_cast<int32_t>(view.U32(4));
    info.height = static_cast<int32_t>(view.U32(8));
    info.planes = view.U16(12);
    info.bitCount = view.U16(14);
    info.compression = view.U32(16);
    info.imageSize = view.U32(20);
    info.colorsUsed = view.U32(32);
    return info;
}
