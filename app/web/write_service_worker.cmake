# Writes the service worker with the list of the site's files, each language's page and manifest
# among them, and a cache name made from their content.
# usage: cmake -DSITE=folder -DTEMPLATE=sw.js.in -P write_service_worker.cmake
file(GLOB pages RELATIVE ${SITE} ${SITE}/index*.html ${SITE}/manifest*.webmanifest)
list(SORT pages)
set(content "")
set(RUNBY_SITE_FILES "")
foreach(file ${pages} runby.js runby.wasm runby.svg runby-192.png runby-512.png)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND content ${hash})
    list(APPEND RUNBY_SITE_FILES "\"${file}\"")
endforeach()
list(JOIN RUNBY_SITE_FILES ", " RUNBY_SITE_FILES)
string(SHA256 RUNBY_SITE_HASH "${content}")
string(SUBSTRING ${RUNBY_SITE_HASH} 0 16 RUNBY_SITE_HASH)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
