#pragma once
#include <ibase.h>
#include <QString>

// The Firebird client library, loaded once at run time into a table of function pointers.
#define FBADMIN_FB_FUNCTIONS(X)                                                                      \
    X(isc_attach_database)                                                                          \
    X(isc_detach_database)                                                                          \
    X(isc_drop_database)                                                                            \
    X(isc_database_info)                                                                            \
    X(isc_start_multiple)                                                                           \
    X(isc_commit_transaction)                                                                       \
    X(isc_rollback_transaction)                                                                     \
    X(isc_commit_retaining)                                                                         \
    X(isc_rollback_retaining)                                                                       \
    X(isc_dsql_alloc_statement2)                                                                    \
    X(isc_dsql_prepare)                                                                             \
    X(isc_dsql_describe)                                                                            \
    X(isc_dsql_describe_bind)                                                                       \
    X(isc_dsql_sql_info)                                                                            \
    X(isc_dsql_execute)                                                                             \
    X(isc_dsql_execute2)                                                                            \
    X(isc_dsql_execute_immediate)                                                                   \
    X(isc_dsql_fetch)                                                                               \
    X(isc_dsql_free_statement)                                                                      \
    X(isc_dsql_set_cursor_name)                                                                     \
    X(isc_create_blob2)                                                                             \
    X(isc_open_blob2)                                                                               \
    X(isc_get_segment)                                                                              \
    X(isc_put_segment)                                                                              \
    X(isc_close_blob)                                                                               \
    X(isc_cancel_blob)                                                                              \
    X(isc_blob_info)                                                                                \
    X(isc_sqlcode)                                                                                  \
    X(isc_service_attach)                                                                           \
    X(isc_service_detach)                                                                           \
    X(isc_service_start)                                                                            \
    X(isc_service_query)                                                                            \
    X(fb_cancel_operation)                                                                          \
    X(fb_interpret)                                                                                 \
    X(fb_shutdown_callback)                                                                         \
    X(isc_vax_integer)

// Transaction existence block of isc_start_multiple (not declared by ibase.h).
struct FbTeb {
    isc_db_handle* db_ptr;
    long tpb_len;
    char* tpb_ptr;
};

struct FbApi {
#define FBADMIN_FB_MEMBER(name) decltype(&::name) name = nullptr;
    FBADMIN_FB_FUNCTIONS(FBADMIN_FB_MEMBER)
#undef FBADMIN_FB_MEMBER
};

// The table, loading the library on first use. Raises AppError with
// "InterBase library gds32.dll not found in the path. Please install InterBase to use this
// functionality" when the library or one of its functions cannot be found.
const FbApi& fbApi();
void loadClientLibrary();
bool clientLibraryLoaded();

// The client library answers SIGINT and SIGTERM by shutting its engines down (every attachment of
// the process dies) while the process runs on. A program that ends itself on those signals, and
// commits on its way out, tells it here to keep them running. Loads the library; raises as
// fbApi() does.
void keepEngineOnSignals();

// The file name that is loaded ("libfbclient.so.2" unless changed; tests change it to prove the
// failure message). Changing it after a successful load has no effect.
void setClientLibraryName(const QString& name);
QString clientLibraryName();
