#include "mapping/RegGridVw.h"

#include "mapping/RegGridData.h"

const std::string RegGridVw::kKey = "ViewDialogRegGrid";

RegGridVw::RegGridVw(RegGridData* data) : m_data(data)
{
    Attach(data);
}

void RegGridVw::Load()
{
    m_settings = m_data->GetSettings();
}

void RegGridVw::Reset()
{
    Load();
}
