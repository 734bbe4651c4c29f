#pragma once

#include "extract/ColourMask.h"
#include "extract/Extract.h"
#include "image/CDib.h"
#include "mapping/TransformData.h"
#include "platform/Colour.h"

#include <atomic>
#include <memory>

struct ToolEvent;

// What one extraction reads, copied, so that it can run on another thread while the
// document goes on changing; and what it found, for the view to show.
class ExtractPreview {
public:
    ExtractPreview(const CDib& image, const TransformData& transform,
                   const ExtractOptions& options);

    // Runs the extraction over the copies (on any thread).
    void Run(const std::atomic<bool>* cancel, std::atomic<int>* progress);

    const ExtractOptions& Options() const { return m_options; }
    const ExtractResult& Result() const { return m_result; }
    const ColourMask& Mask() const { return m_mask; }

    // The matching pixels tinted and the candidate points as crosses, over the part of the
    // picture the record's device shows.
    void Draw(ToolEvent& e, Colour maskColour, Colour pointColour) const;

private:
    CDib m_image;
    TransformData m_transform;
    ExtractOptions m_options;
    ExtractResult m_result;
    ColourMask m_mask;
};
