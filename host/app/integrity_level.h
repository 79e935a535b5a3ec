#pragma once
// The mandatory integrity level of this process.
namespace tavc {

// The integrity RID of the process token's label (0x2000 medium, 0x1000 low,
// ...); 0 when it cannot be read.
int GetIntegrityLevel();

}  // namespace tavc
