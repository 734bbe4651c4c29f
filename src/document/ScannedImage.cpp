#include "document/ScannedImage.h"

#include "document/CKurvoDoc.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "image/DibUtil.h"
#include "mapping/TransformData.h"
#include "tasks/ImagePasteTask.h"
#include "tasks/PlotData.h"

#include <memory>
#include <optional>

bool TakeScannedImage(CKurvoDoc& doc, std::vector<std::uint8_t> dib)
{
    if (!IsSoundDib(dib.data(), dib.size())) {
        std::optional<DibBlock> block = ReadPackedDib(dib.data(), dib.size());
        if (!block)
            return false;
        dib = std::move(*block);
    }
    auto image = std::make_unique<CDib>(std::move(dib));
    PlotData* data = doc.GetPlotData();
    if (image->IsEmpty() || !data)
        return false;
    doc.ExecuteTask(
        std::make_unique<ImagePasteTask>(data, std::move(image), data->GetTransform(), false));
    data->ClearTasks();
    return true;
}
