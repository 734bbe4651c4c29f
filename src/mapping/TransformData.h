#pragma once

#include "image/MappingSource.h"
#include "mapping/Box.h"
#include "model/AttributeData.h"

class Archive;
struct RegGridSettings;
struct ToolEvent;

// The mapping between image pixels and graph coordinates of a document (attribute
// "AttTransform"). The mapping region carries it; logarithmic axes keep their graph nodes in
// log10 space. It is defined either by axis limits (mode 0) or by a pixel scale (mode 1),
// and edited only through its representations, which write back by notifying it. The image
// crop and paste tasks keep and restore it as a mapping source.
class TransformData : public AttributeData, public MappingSource {
public:
    static constexpr int kAxisMapping = 0;
    static constexpr int kPixelMapping = 1;

    TransformData();

    // Image pixel -> graph; false (output untouched) when the region cannot invert the point.
    bool PixelToGraph(DPoint pixel, DPoint& graph) const;
    // The derivatives {dX/dx, dX/dy, dY/dx, dY/dy} of the graph position by the image pixel
    // position, logarithmic axes included; false when the region cannot invert the point.
    bool PixelJacobian(DPoint pixel, double j[4]) const;
    // Graph -> image pixel; false (output untouched) when the region cannot invert it.
    bool GraphToPixel(DPoint graph, DPoint& pixel) const;

    // Axis mapping of the current region: graph limits of its corners.
    void SetLimits(DPoint min, DPoint max);
    // Pixel mapping of the current region: aspect, pixels per unit and origin.
    void SetPixelMapping(double aspect, double pointsPerUnit, DPoint origin);

    // The region outline, when the region is defined.
    void DrawRegion(ToolEvent& e);
    // The regular grid of the settings through the region.
    void DrawGrid(ToolEvent& e, const RegGridSettings& grid);

    // "ViewManipTransformData", "ViewAxisTransformData", "ViewPPITransformData" or
    // "ViewMementoTransformData": a new representation, loaded, owned by the caller.
    AttributeRep* GetRep(const std::string& repKey) override;
    // A representation writes itself back (chosen by its class).
    void Update(Observer* subject, std::intptr_t hint) override;

    // A memento of every field; restoring notifies the transform from it, resetting puts the
    // transform back to its defaults and reloads the memento.
    std::unique_ptr<MappingState> Snapshot() override;

    // Back to the defaults of a new document: axis mapping 1..10 on both axes, no region.
    void ResetToDefaults();

    int GetMode() const { return m_mode; }
    int GetXLog() const { return m_xLog; }
    int GetYLog() const { return m_yLog; }
    int GetValid() const { return m_valid; }
    double GetPointsPerUnit() const { return m_pointsPerUnit; }
    double GetAspect() const { return m_aspect; }
    DPoint GetMin() const { return m_min; }
    DPoint GetMax() const { return m_max; }
    const Box& GetRegion() const { return m_region; }

    // Every field at once: what a memento keeps and puts back.
    struct State {
        int mode = kAxisMapping;
        double pointsPerUnit = 1.0;
        double aspect = 1.0;
        int valid = 1;
        int xLog = 0;
        int yLog = 0;
        DPoint min{1.0, 1.0};
        DPoint max{10.0, 10.0};
        Box region;
    };
    State GetState() const;

    // The transform block of a project file (version 1).
    void Serialize(Archive& ar);
    // The 360-byte transform block of format-2 project files.
    void ReadOldBlock(Archive& ar);
    static constexpr int kOldBlockSize = 360;

private:
    void SetState(const State& s);

    int m_mode = kAxisMapping;
    double m_pointsPerUnit = 1.0;
    double m_aspect = 1.0;
    int m_valid = 1;
    int m_xLog = 0;
    int m_yLog = 0;
    DPoint m_min{1.0, 1.0};
    DPoint m_max{10.0, 10.0};
    Box m_region;
};
