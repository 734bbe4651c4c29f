#pragma once

#include "image/MappingSource.h"

class TransformData;

// The document's transform as the image crop and paste tasks keep it: snapshots are
// transform mementos, put back by notifying them.
class TransformMappingSource : public MappingSource {
public:
    explicit TransformMappingSource(TransformData* transform) : m_transform(transform) {}
    std::unique_ptr<MappingState> Snapshot() override;

private:
    TransformData* m_transform;
};
