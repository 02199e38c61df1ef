#pragma once

#include "data/Fen.h"

class CDataExchange;

// Exchanges an amount edit with an amount in fen: shown with as few decimals as it needs
// ("0", "12.5"), read exactly as typed. A text that is no amount makes the reading fail with
// a prompt that says why, the edit focused.
void DDX_Amount(CDataExchange* pDX, int id, Fen& value);
