#include "document/ScannedImage.h"

#include "document/CKurvoDoc.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "mapping/TransformData.h"
#include "tasks/ImagePasteTask.h"
#include "tasks/PlotData.h"

#include <memory>
#include <optional>

bool TakeScannedImage(CKurvoDoc& doc, const std::vector<std::uint8_t>& dib)
{
    const std::optional<DibBlock> block = ReadPackedDib(dib.data(), dib.size());
    if (!block)
        return false;
    CDib image(block->data(), block->size());
    if (image.IsEmpty())
        return false;
    PlotData* data = doc.GetPlotData();
    if (!data)
        return false;
    doc.ExecuteTask(std::make_unique<ImagePasteTask>(data, image, data->GetTransform(), false));
    data->ClearTasks();
    return true;
}
