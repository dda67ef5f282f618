// Set-file transfers (placeholder until they land).
#include "setfile/set_file_transfer.h"

namespace korvane {

void GetDataFromController(Program&) {}
void Putdataincontroller1Click(Program&) {}

}  // namespace korvane
