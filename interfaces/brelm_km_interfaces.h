// The knowledge base of the Brelm client: its database, folder, document,
// attachment and tag objects, shared by the importer and the core library.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Declares the named id constant of an interface and makes __uuidof work for it.
#define BRELM_DECLARE_IID(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)            \
    static const IID IID_##type = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
    __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)

// The knowledge-base database class, created from the core library by class id.
static const CLSID CLSID_BrelmDatabase = {
    0x21F0E3C9, 0x6465, 0x4525, {0x9E, 0xA3, 0x55, 0x2E, 0x23, 0xF3, 0xA6, 0x15}};

// Every method is an automation-style call: BSTRs in, objects out as IDispatch,
// negative HRESULTs for failure. Objects handed out carry one reference.
struct IBrelmDatabase : public IDispatch {
    // Opens a knowledge base by file path; an empty path opens the user's default one.
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateRootTag(BSTR name, BSTR description, IDispatch** tag) = 0;
    // location is "/" + levels joined by "/" + "/"; create makes missing levels.
    virtual HRESULT STDMETHODCALLTYPE GetFolderByLocation(BSTR location, VARIANT_BOOL create, IDispatch** folder) = 0;
    // Finds a tag anywhere in the tree by name, letter case ignored; flags and
    // parentName are reserved (0 and empty).
    virtual HRESULT STDMETHODCALLTYPE GetTagByName(BSTR name, long flags, BSTR parentName, IDispatch** tag) = 0;
    // Opens or creates the knowledge base at path. key is a plain wide string
    // naming the caller; on failure errorText receives what went wrong.
    virtual HRESULT STDMETHODCALLTYPE OpenEx(BSTR path, LPCWSTR key, long flags, BSTR* errorText) = 0;
};
BRELM_DECLARE_IID(IBrelmDatabase, 0x52CBF63C, 0xBF07, 0x46F2, 0x9D, 0x1D, 0xE3, 0xB3, 0x73, 0x04, 0x30, 0x9D);

struct IBrelmFolder : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE CreateDocument(BSTR title, BSTR url, IDispatch** document) = 0;
};
BRELM_DECLARE_IID(IBrelmFolder, 0xE71F2587, 0xA345, 0x4081, 0xA0, 0x33, 0xA1, 0x89, 0x4B, 0x36, 0x95, 0xBF);

// UpdateDocument flags.
enum : long {
    BRELM_UPDATE_DOCUMENT_SAVE_TEXT = 0x02,   // also keep the page as searchable text
    BRELM_UPDATE_DOCUMENT_LOCAL_FILES = 0x20  // store the local files the page references
};

struct IBrelmDocument : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_DateCreated(DATE date) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DateModified(DATE date) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetParamValue(BSTR name, BSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddAttachment(BSTR filePath, IDispatch** attachment) = 0;
    // Stores the HTML file as the document's content, with the files it references.
    virtual HRESULT STDMETHODCALLTYPE UpdateDocument(BSTR htmlFile, BSTR indexFile, long flags) = 0;
    // Links the tags named in tagNames (separated by ";"), creating missing ones
    // under the root tag named rootTagName.
    virtual HRESULT STDMETHODCALLTYPE SetTagsText(BSTR tagNames, BSTR rootTagName) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DataDateModified(DATE date) = 0;
};
BRELM_DECLARE_IID(IBrelmDocument, 0xAB2D75AC, 0x920B, 0x4846, 0x87, 0x1B, 0xB4, 0xD7, 0xCB, 0x86, 0xD3, 0xBF);

struct IBrelmDocumentAttachment : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE put_URL(BSTR url) = 0;
};
BRELM_DECLARE_IID(IBrelmDocumentAttachment, 0xC6A2AAC5, 0x8CE9, 0x476A, 0x9F, 0x93, 0xB7, 0x52, 0xAD, 0x79, 0xE5, 0x0E);

struct IBrelmTag : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE CreateChildTag(BSTR name, BSTR description, IDispatch** tag) = 0;
};
BRELM_DECLARE_IID(IBrelmTag, 0x425DE35B, 0x3B2B, 0x44D3, 0xBB, 0x87, 0xB2, 0x4A, 0x06, 0xB3, 0x9F, 0xE7);
