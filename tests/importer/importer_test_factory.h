// The class ids of the COM-loading test library; each picks one way for the load to go.
#pragma once

#include <windows.h>

// DllGetClassObject fails without a factory.
static const CLSID CLSID_ImporterTestNoFactory = {
    0x6A1E0001, 0x5C3B, 0x4F7A, {0x9B, 0x21, 0x3E, 0x44, 0x10, 0x7D, 0x20, 0x01}};
// DllGetClassObject fails yet delivers a factory.
static const CLSID CLSID_ImporterTestFactoryFails = {
    0x6A1E0002, 0x5C3B, 0x4F7A, {0x9B, 0x21, 0x3E, 0x44, 0x10, 0x7D, 0x20, 0x02}};
// CreateInstance fails with E_ACCESSDENIED yet delivers an object.
static const CLSID CLSID_ImporterTestCreateFails = {
    0x6A1E0003, 0x5C3B, 0x4F7A, {0x9B, 0x21, 0x3E, 0x44, 0x10, 0x7D, 0x20, 0x03}};
// CreateInstance succeeds with S_FALSE.
static const CLSID CLSID_ImporterTestCreateSFalse = {
    0x6A1E0004, 0x5C3B, 0x4F7A, {0x9B, 0x21, 0x3E, 0x44, 0x10, 0x7D, 0x20, 0x04}};
// CreateInstance claims success but delivers nothing.
static const CLSID CLSID_ImporterTestCreatesNothing = {
    0x6A1E0005, 0x5C3B, 0x4F7A, {0x9B, 0x21, 0x3E, 0x44, 0x10, 0x7D, 0x20, 0x05}};
// Any other id: CreateInstance succeeds with S_OK.
