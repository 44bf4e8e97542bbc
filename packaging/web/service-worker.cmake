# Writes sw.js from sw.js.in at build time: the store's name carries the game's version and a
# digest of every file it keeps, so any change to any of them makes a new store.
#   cmake -DTEMPLATE=sw.js.in -DOUTPUT=sw.js -DFOLDER=dir -DVERSION=x.y.z -DFILES=a,b,c -P this
string(REPLACE "," ";" FILES "${FILES}")
set(all "")
set(names "\"./\"")
foreach(name IN LISTS FILES)
  file(SHA256 ${FOLDER}/${name} digest)
  string(APPEND all "${name} ${digest}\n")
  string(APPEND names ", \"${name}\"")
endforeach()
string(SHA256 ZS_DIGEST "${all}")
string(SUBSTRING ${ZS_DIGEST} 0 16 ZS_DIGEST)
set(ZS_VERSION ${VERSION})
set(ZS_FILES ${names})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
