#pragma once

#include "document/CKurvoDoc.h"
#include "image/BmpFile.h"
#include "image/DibUtil.h"
#include "mapping/TransformData.h"
#include "platform/CommandIds.h"
#include "model/DbPoint.h"
#include "model/PlotData.h"
#include "platform/RecordingUiServices.h"
#include "support/TempDir.h"
#include "tasks/PrimTask.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

// A document test with recording services and a temporary folder.
class DocTest : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&ui); }
    void TearDown() override { SetUiServices(nullptr); }

    // Writes a small 24-bit bitmap with a recognisable pattern.
    std::string WriteBitmap(const std::string& name, int w = 12, int h = 8)
    {
        BitmapInfoHeader header;
        header.bitCount = 24;
        DibBlock dib = *MakeDib(header, w, h, nullptr);
        std::uint8_t* bits = FindDibBits(dib.data());
        for (std::size_t i = 0; i < DibImageSize(dib.data()); ++i)
            bits[i] = static_cast<std::uint8_t>(i * 7);
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
        return path;
    }

    // Maps the whole image so that graph coordinates equal pixel coordinates.
    static void MapIdentity(CKurvoDoc& doc)
    {
        ASSERT_TRUE(doc.OnCommand(ID_EDIT_MAP_FULL));
        const ISize size = doc.GetImageSize();
        doc.GetPlotData()->GetTransform()->SetLimits({0, size.cy - 1.0}, {size.cx - 1.0, 0});
    }

    void Collect(CKurvoDoc& doc, double x, double y)
    {
        ASSERT_TRUE(doc.ExecuteTask(std::make_unique<PrimTask>(
            doc.GetPlotData(), std::make_unique<DbPoint>(DPoint{x, y}))));
    }

    static std::string ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    RecordingUiServices ui;
    TempDir dir;
};
