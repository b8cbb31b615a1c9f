// Resource ids shared by the product's resource script and the Windows platform.
#pragma once

#define ZENTAVO_IDI_APP 1
#define ZENTAVO_IDC_HAND 2
