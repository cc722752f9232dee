# Publishes the site: the files NAMES (comma-separated) from FILES into SITE, which is emptied
# first, so that it holds this build's files and nothing an earlier build left. Every file but
# the page (index.html), the service worker's template and the screenshot that the metainfo names
# is published under a name made from its content, NAME.HASH.EXT, and the files that name it (the
# page, its script, the manifest) name it so: a name never stands for the files of two builds.
# The service worker is written from TEMPLATE with each of those files and its SHA-256, and the
# build's own hash, made from all of them and from the template.
# Usage: cmake -DFILES=FOLDER -DNAMES=a,b,... -DSITE=FOLDER -DTEMPLATE=web/sw.js \
#          -P publish_site.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" names "${NAMES}")
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE})

# The files that others name come first; the page's script (which names the WebAssembly) and the
# manifest (which names the icons) once those have their names.
set(kept index.html screenshot.png)
set(order)
foreach(name ${names})
  if(NOT name IN_LIST kept AND NOT name MATCHES "^(page\\.js|manifest\\.webmanifest)$")
    list(APPEND order ${name})
  endif()
endforeach()
foreach(name page.js manifest.webmanifest)
  if(name IN_LIST names)
    list(APPEND order ${name})
  endif()
endforeach()

# Writes a text file's content with every published name put for the name it replaces.
function(write_renamed name output)
  file(READ ${FILES}/${name} content)
  foreach(from ${published})
    foreach(quote "\"" "'")
      string(REPLACE "${quote}${from}${quote}" "${quote}${published_${from}}${quote}" content
                     "${content}")
    endforeach()
  endforeach()
  file(WRITE ${output} "${content}")
endfunction()

set(published)
set(SITE_FILES "")
file(SHA256 ${TEMPLATE} digests)
foreach(name ${order})
  set(source ${FILES}/${name})
  if(name MATCHES "^(page\\.js|manifest\\.webmanifest)$")
    set(source ${SITE}/.${name})
    write_renamed(${name} ${source})
  endif()
  file(SHA256 ${source} digest)
  string(SUBSTRING ${digest} 0 12 short)
  string(REGEX REPLACE "^(.*)(\\.[^.]*)$" "\\1.${short}\\2" hashed ${name})
  file(COPY_FILE ${source} ${SITE}/${hashed})
  if(source MATCHES "/\\.[^/]*$")
    file(REMOVE ${source})
  endif()
  list(APPEND published ${name})
  set(published_${name} ${hashed})
  string(APPEND digests " ${digest}")
  string(APPEND SITE_FILES "${SITE_FILES_SEPARATOR}\"${hashed}\": \"${digest}\"")
  set(SITE_FILES_SEPARATOR ", ")
endforeach()
write_renamed(index.html ${SITE}/index.html)
if(screenshot.png IN_LIST names)
  file(COPY_FILE ${FILES}/screenshot.png ${SITE}/screenshot.png)
endif()
set(SITE_FILES "{${SITE_FILES}}")
string(SHA256 BUILD "${digests}")
string(SUBSTRING ${BUILD} 0 16 BUILD)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
