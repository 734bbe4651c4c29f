#include "document/TransformMappingSource.h"

#include "mapping/TransformData.h"
#include "mapping/TransformMemento.h"

namespace {

class TransformMappingState : public MappingState {
public:
    explicit TransformMappingState(std::unique_ptr<TransformMemento> memento)
        : m_memento(std::move(memento))
    {
    }
    void Restore() override { m_memento->Notify(DataHint()); }
    void Reset() override { m_memento->Reset(); }

private:
    std::unique_ptr<TransformMemento> m_memento;
};

} // namespace

std::unique_ptr<MappingState> TransformMappingSource::Snapshot()
{
    std::unique_ptr<AttributeRep> rep(m_transform->GetRep(TransformMemento::kKey));
    auto* memento = dynamic_cast<TransformMemento*>(rep.get());
    if (!memento)
        return nullptr;
    rep.release();
    return std::make_unique<TransformMappingState>(std::unique_ptr<TransformMemento>(memento));
}
