#include "MaskPipeline.h"

#include "EventSteps.h"
#include "MaskCurve.h"
#include "ModeTable.h"
#include "entry/base/HostContext.h"

int32_t PrepareMaskLayer() {
    const ModeRow& row = ModeRowFor(currentMode);
    int32_t code = MakeWorkLayer();
    if (code == 0) code = StampVisible();
    if (code == 0) code = LoadLuminositySelection();
    if (code == 0 && row.invertSelection) code = InvertSelection();
    if (code == 0) code = AddRevealMask();
    return code;
}

int32_t FinishMaskSelection() {
    int32_t code = SmoothMask();
    if (code == 0) code = LoadMaskSelection();
    if (code == 0) code = DeleteWorkLayer();
    return code;
}

void RunMaskPipeline() {
    const ModeRow& row = ModeRowFor(currentMode);
    int32_t status = PrepareMaskLayer();
    if (status == 0 && row.firstCurve != nullptr) status = ApplyMaskCurve(*row.firstCurve);
    if (status == 0 && row.secondCurve != nullptr) status = ApplyMaskCurve(*row.secondCurve);
    if (status == 0) status = FinishMaskSelection();
    pipelineStatus = status;
}
