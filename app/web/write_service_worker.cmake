# Writes the service worker with a cache name made from the content of every file it caches.
# usage: cmake -DSITE=folder -DTEMPLATE=sw.js.in -P write_service_worker.cmake
set(content "")
foreach(file index.html runby.js runby.wasm manifest.webmanifest runby.svg runby-192.png
        runby-512.png)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND content ${hash})
endforeach()
string(SHA256 RUNBY_SITE_HASH "${content}")
string(SUBSTRING ${RUNBY_SITE_HASH} 0 16 RUNBY_SITE_HASH)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
