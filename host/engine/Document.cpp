#include "Document.h"

#include <stdexcept>
#include <utility>

#include "host/suites/HostStatusCodes.h"
#include "LuminosityCache.h"
#include "PixelOps.h"
#include "RowBands.h"

namespace {
bool SameSize(const Plane& plane, int width, int height) {
    return !plane.Empty() && plane.Width() == width && plane.Height() == height;
}

bool Opaque(const Layer& layer) { return layer.HasPixels() && layer.alpha.Empty() && layer.mask.Empty(); }

// dst = src over dst with the layer's coverage (alpha times mask), each
// product rounded to the nearest level.
void BlendOver(RgbPlanes& dst, const Layer& layer) {
    const int width = dst.red.Width();
    const Plane* sources[3] = {&layer.color.red, &layer.color.green, &layer.color.blue};
    Plane* targets[3] = {&dst.red, &dst.green, &dst.blue};
    uint8_t* out[3] = {targets[0]->MutableData(), targets[1]->MutableData(), targets[2]->MutableData()};
    ForEachRowBand(dst.red.Height(), static_cast<std::size_t>(width), [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const uint8_t* alpha = layer.alpha.Empty() ? nullptr : layer.alpha.Row(y);
            const uint8_t* mask = layer.mask.Empty() ? nullptr : layer.mask.Row(y);
            const std::size_t offset = static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                const unsigned a = alpha ? alpha[x] : 255u;
                const unsigned m = mask ? mask[x] : 255u;
                const unsigned cover = (a * m + 127u) / 255u;
                for (int c = 0; c < 3; ++c) {
                    uint8_t& d = out[c][offset + x];
                    d = static_cast<uint8_t>((sources[c]->Row(y)[x] * cover + d * (255u - cover) + 127u) / 255u);
                }
            }
        }
    });
}
}  // namespace

Document::Document(RgbPlanes background) : width_(background.red.Width()), height_(background.red.Height()) {
    if (!SameSize(background.red, width_, height_) || !SameSize(background.green, width_, height_) ||
        !SameSize(background.blue, width_, height_))
        throw std::invalid_argument("background planes of different sizes");
    Layer layer;
    layer.name = "Background";
    layer.color = std::move(background);
    layers_.push_back(std::move(layer));
}

void Document::AddLayer(Layer layer) {
    auto fits = [&](const Plane& plane) { return plane.Empty() || SameSize(plane, width_, height_); };
    const bool colorComplete = layer.color.red.Empty() == layer.color.green.Empty() &&
                               layer.color.red.Empty() == layer.color.blue.Empty();
    if (!colorComplete || !fits(layer.color.red) || !fits(layer.color.green) || !fits(layer.color.blue) ||
        !fits(layer.alpha) || !fits(layer.mask))
        throw std::invalid_argument("layer planes do not match the document");
    layers_.push_back(std::move(layer));
    target_ = static_cast<int>(layers_.size()) - 1;
    targetChannel_ = TargetChannel::Composite;
}

void Document::SetSelection(Plane selection) {
    if (!selection.Empty() && !SameSize(selection, width_, height_))
        throw std::invalid_argument("selection does not match the document");
    selection_ = std::move(selection);
}

void Document::SetTargetLayer(int index) {
    layers_.at(static_cast<std::size_t>(index));
    target_ = index;
    targetChannel_ = TargetChannel::Composite;
}

void Document::SetLayerVisible(int index, bool visible) { layers_.at(static_cast<std::size_t>(index)).visible = visible; }

RgbPlanes Document::Composite() const {
    // Start from the highest visible opaque layer: nothing below it shows.
    int base = -1;
    for (int i = static_cast<int>(layers_.size()) - 1; i >= 0; --i) {
        const Layer& layer = layers_[static_cast<std::size_t>(i)];
        if (layer.visible && Opaque(layer)) {
            base = i;
            break;
        }
    }
    RgbPlanes result;
    if (base >= 0) {
        result = layers_[static_cast<std::size_t>(base)].color;  // shared, copied on the first blend
    } else {
        result = {Plane(width_, height_, 255), Plane(width_, height_, 255), Plane(width_, height_, 255)};
    }
    for (std::size_t i = static_cast<std::size_t>(base + 1); i < layers_.size(); ++i) {
        const Layer& layer = layers_[i];
        if (layer.visible && layer.HasPixels()) BlendOver(result, layer);
    }
    return result;
}

HostStatus Document::MakeLayer() {
    Layer layer;
    layer.name = "Layer " + std::to_string(++layersMade_);
    layers_.insert(layers_.begin() + target_ + 1, std::move(layer));
    ++target_;
    targetChannel_ = TargetChannel::Composite;
    return 0;
}

HostStatus Document::MergeVisibleIntoTarget() {
    RgbPlanes merged = Composite();
    Layer& layer = MutableTarget();
    layer.color = std::move(merged);
    layer.alpha = Plane();
    return 0;
}

HostStatus Document::LoadCompositeLuminosity() {
    const RgbPlanes composite = Composite();
    selection_ = CachedLuminosity(composite);
    return 0;
}

HostStatus Document::InvertSelection() {
    if (selection_.Empty()) return kNoSuchObject;
    InvertLevels(selection_);
    return 0;
}

HostStatus Document::AddRevealMask() {
    Layer& layer = MutableTarget();
    if (!layer.mask.Empty()) return kEventNotHandled;
    layer.mask = selection_.Empty() ? Plane(width_, height_, 255) : std::move(selection_);
    selection_ = Plane();
    targetChannel_ = TargetChannel::LayerMask;
    return 0;
}

HostStatus Document::ApplyCurve(const LevelTable& table) {
    Layer& layer = MutableTarget();
    if (targetChannel_ == TargetChannel::LayerMask) {
        ApplyLevelTable(layer.mask, table);
        return 0;
    }
    // Worked on a copy (the planes are shared until written), so that a
    // failed allocation leaves the layer as it was.
    RgbPlanes color = layer.color;
    ApplyLevelTable(color.red, table);
    ApplyLevelTable(color.green, table);
    ApplyLevelTable(color.blue, table);
    layer.color = std::move(color);
    return 0;
}

HostStatus Document::DustAndScratches(int radius, int threshold) {
    if (radius != 1) return kEventNotHandled;
    if (threshold < 0 || threshold > 255) return kParamError;
    Layer& layer = MutableTarget();
    if (targetChannel_ == TargetChannel::LayerMask) {
        Median3x3InPlace(layer.mask, threshold);
    } else {
        RgbPlanes color{Median3x3(layer.color.red, threshold), Median3x3(layer.color.green, threshold),
                        Median3x3(layer.color.blue, threshold)};
        layer.color = std::move(color);
    }
    return 0;
}

HostStatus Document::LoadTargetChannelSelection() {
    if (targetChannel_ == TargetChannel::LayerMask) {
        selection_ = TargetLayer().mask;
        return 0;
    }
    return LoadCompositeLuminosity();
}

HostStatus Document::DeleteTargetLayer() {
    if (layers_.size() < 2) return kEventNotHandled;
    layers_.erase(layers_.begin() + target_);
    if (target_ > 0) --target_;
    targetChannel_ = TargetChannel::Composite;
    return 0;
}
