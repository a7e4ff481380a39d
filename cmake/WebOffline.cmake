# Writes the site's service worker (platform/web/service_worker.js.in) into SITE: the list of the
# site's files to keep, and a cache name made from their names and bytes, so that any change to
# the site makes a new worker and a new cache. Run at every build of the site:
#   cmake -DSITE=folder -DTEMPLATE=service_worker.js.in -P WebOffline.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files service-worker.js)
list(SORT files)
set(listed "'./'")
set(content "")
foreach(name IN LISTS files)
    file(SHA256 ${SITE}/${name} hash)
    string(APPEND content "${name} ${hash}\n")
    string(APPEND listed ", '${name}'")
endforeach()
string(SHA256 build "${content}")
string(SUBSTRING ${build} 0 16 BUILD)
set(FILES ${listed})
configure_file(${TEMPLATE} ${SITE}/service-worker.js @ONLY)
