// The document the host stand-in plays the plug-in's events on: an 8-bit
// RGB image as an opaque background, a stack of layers above it, a target
// layer, a target channel and a selection.
//
// The operations are the events the host executes. Each returns 0 or the
// host code with which a real host refuses an event it cannot carry out
// (HostStatusCodes.h); a refused operation leaves the document unchanged.
#ifndef LUMACUT_HOST_DOCUMENT_H
#define LUMACUT_HOST_DOCUMENT_H

#include <cstdint>
#include <string>
#include <vector>

#include "LevelTable.h"
#include "Plane.h"
#include "entry/interface/HostInterface.h"

struct RgbPlanes {
    Plane red, green, blue;
};

struct Layer {
    std::string name;
    bool visible = true;
    RgbPlanes color;  // empty planes: a transparent layer that has no pixels yet
    Plane alpha;      // empty: opaque wherever the layer has pixels
    Plane mask;       // empty: the layer has no mask
    bool HasPixels() const { return !color.red.Empty(); }
};

enum class TargetChannel { Composite, LayerMask };

class Document {
public:
    // A document whose background layer holds the three planes, which must
    // be of one size.
    explicit Document(RgbPlanes background);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<Layer>& Layers() const { return layers_; }
    int TargetLayerIndex() const { return target_; }
    const Layer& TargetLayer() const { return layers_[static_cast<std::size_t>(target_)]; }
    TargetChannel Channel() const { return targetChannel_; }
    bool HasSelection() const { return !selection_.Empty(); }
    // 255 = fully selected; an empty plane when nothing is selected.
    const Plane& Selection() const { return selection_; }

    // Puts a layer of the document's size on top of the stack and makes it
    // the target; for documents built by hand. Throws std::invalid_argument
    // for planes of another size.
    void AddLayer(Layer layer);
    void SetSelection(Plane selection);
    // Throw std::out_of_range for an index outside the stack.
    void SetTargetLayer(int index);
    void SetLayerVisible(int index, bool visible);

    // The image as the visible layers show it, over white paper.
    RgbPlanes Composite() const;

    // ---- the events
    // "Mk  " of a layer: a new empty layer right above the target becomes the target.
    HostStatus MakeLayer();
    // "MrgV" with "Dplc": the composite goes into the target layer; the other layers stay.
    HostStatus MergeVisibleIntoTarget();
    // "setd" of the selection to the composite: the selection becomes its luminosity.
    HostStatus LoadCompositeLuminosity();
    // "Invs": every selection level v becomes 255 - v.
    HostStatus InvertSelection();
    // "Mk  " of a mask revealing the selection: the target layer's mask is the
    // selection (white without one), the selection goes and the mask becomes
    // the target channel.
    HostStatus AddRevealMask();
    // "Crvs" on the target channel.
    HostStatus ApplyCurve(const LevelTable& table);
    // "DstS": the median filter on the target channel.
    HostStatus DustAndScratches(int radius, int threshold);
    // "setd" of the selection to the target channel.
    HostStatus LoadTargetChannelSelection();
    // "Dlt " of the target layer: the layer below becomes the target; the selection stays.
    HostStatus DeleteTargetLayer();

private:
    Layer& MutableTarget() { return layers_[static_cast<std::size_t>(target_)]; }

    int width_;
    int height_;
    std::vector<Layer> layers_;
    int target_ = 0;
    TargetChannel targetChannel_ = TargetChannel::Composite;
    Plane selection_;
    int layersMade_ = 0;
};

#endif
