// Where the user's default knowledge base lives.
#pragma once

#include <string>

namespace brelm_core {

// The data-store folder's "Data\index.db": the folder is the registry's DataStore value under
// HKCU\Software\Brelm when that folder exists, else the Documents folder + "Zi Zivuzizoz\".
// Its "Data\" folder is created. Empty when no folder can be found.
std::wstring DefaultKnowledgeBasePath();

}  // namespace brelm_core
