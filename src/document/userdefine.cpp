// Settings record construction.
#include "document/userdefine.h"

CUserDefine::CUserDefine() = default;
