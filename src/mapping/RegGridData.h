#pragma once

#include "mapping/RegGridSettings.h"
#include "model/AttributeData.h"
#include "platform/Geometry.h"

class Archive;
class TransformData;
struct ToolEvent;

// The regular grid of a document (attribute "AttRegGrid"): per axis an origin and a step in
// graph units, whether positions snap to it and whether its lines are shown. It works
// through the document's transform.
class RegGridData : public AttributeData {
public:
    explicit RegGridData(TransformData* transform = nullptr);

    // "ViewDialogRegGrid" gives a RegGridVw, "GridSnapRegGrid" a RegGridSnap; owned by the
    // caller, attached to this data.
    AttributeRep* GetRep(const std::string& repKey) override;
    // A RegGridVw writes its settings back; other sources are ignored.
    void Update(Observer* subject, std::intptr_t hint) override;

    // Moves an image point onto the nearest grid line of each snapping axis that lies within
    // the current snap tolerance; true when the point was moved.
    bool Snap(DPoint& point, const TransformData& transform) const;
    bool Snap(DPoint& point) const;
    // The grid lines, when an axis snaps.
    void Draw(ToolEvent& e);

    const RegGridSettings& GetSettings() const { return m_settings; }
    TransformData* GetTransform() const { return m_transform; }
    void SetTransform(TransformData* transform) { m_transform = transform; }

    // The grid block of a project file (version 2; version 1 is read and discarded).
    void Serialize(Archive& ar);

private:
    RegGridSettings m_settings;
    TransformData* m_transform;
};
