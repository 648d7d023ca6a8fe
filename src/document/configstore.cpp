// Placeholder until the settings store lands.
#include "document/configstore.h"

#include "document/userdefine.h"

bool CConfigStore::Load(CUserDefine&, const std::string&)
{
    return true;
}

bool CConfigStore::Save(const CUserDefine&, const std::string&)
{
    return true;
}
