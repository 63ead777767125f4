/* Version of the install tooling, shared by the programs' version resources. */
#pragma once
#define RAV_VERSION_BINARY 6, 31, 165, 2
#define RAV_VERSION_TEXT "6.31.165.2"
#define RAV_COMPANY_NAME "Corvane"
#define RAV_PRODUCT_NAME "Corvane 802.11 Wireless USB Adapter Driver Package"
#define RAV_COPYRIGHT "Copyright (C) 2026 Corvane"
