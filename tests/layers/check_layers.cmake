# Fails when a layer reaches above itself: an include of a higher layer's header or of Qt
# in the Qt-free layers, Qt's or a higher layer's include paths in their compile commands
# (what linking that library brings along), or a Qt library loaded by the Qt-free tools.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DQT_FREE_PROGRAMS=a,b -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

# The folders each source folder may include from; the first one is its own.
set(ALLOWED_engine engine)
set(ALLOWED_platform platform)
set(ALLOWED_albumtable albumtable platform)
set(ALLOWED_components components albumtable platform engine)
set(ALLOWED_app app components albumtable platform engine)
set(QT_FREE engine platform albumtable tests/common tests/engine tests/platform
    tests/platform/support tests/albumtable)
set(QT_FREE_TOOLS tools/sonavera-play.cpp tools/sonavera-scan.cpp)
set(LAYERS engine platform albumtable components app)
foreach(layer ${LAYERS})
  set(ALLOWED_tests/${layer} ${ALLOWED_${layer}})
  set(ALLOWED_tests/${layer}/support ${ALLOWED_${layer}})
endforeach()

set(failures "")
macro(fail text)
  string(APPEND failures "${text}\n")
endmacro()

# Which layer each header name belongs to.
foreach(layer ${LAYERS})
  file(GLOB headers RELATIVE ${SOURCE_DIR}/${layer} ${SOURCE_DIR}/${layer}/*.h)
  foreach(header ${headers})
    set(LAYER_OF_${header} ${layer})
  endforeach()
endforeach()

foreach(folder ${LAYERS} tests/common tests/engine tests/platform tests/platform/support
       tests/albumtable tests/components)
  file(GLOB sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp
       ${SOURCE_DIR}/${folder}/*.c)
  list(FIND QT_FREE ${folder} qt_free)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "<(Qt[A-Za-z]*/)?Q[A-Za-z]*>" AND qt_free GREATER -1)
        fail("${source}: Qt in a Qt-free layer: ${line}")
      elseif(line MATCHES "\"([^\"/]+\\.h)\"")
        set(layer "${LAYER_OF_${CMAKE_MATCH_1}}")
        if(layer AND NOT layer IN_LIST ALLOWED_${folder})
          fail("${source}: ${folder} includes ${layer}'s ${CMAKE_MATCH_1}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

# The compile commands show what the libraries a target links bring along.
# Only the two kinds of lines read: the brackets of the others would keep the list whole.
file(STRINGS ${BUILD_DIR}/compile_commands.json lines REGEX "^[ \t]*\"(command|file)\": ")
set(command "")
foreach(line ${lines})
  if(line MATCHES "^[ \t]*\"command\": \"(.*)\",?$")
    set(command "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^[ \t]*\"file\": \"(.*)\",?$")
    file(RELATIVE_PATH file ${SOURCE_DIR} "${CMAKE_MATCH_1}")
    get_filename_component(folder ${file} DIRECTORY)
    if(folder IN_LIST QT_FREE OR file IN_LIST QT_FREE_TOOLS)
      string(TOLOWER "${command}" lower)
      if(lower MATCHES "qt6")
        fail("${file}: compiled with Qt's headers in reach")
      endif()
    endif()
    if(DEFINED ALLOWED_${folder})
      foreach(layer ${LAYERS})
        if(NOT layer IN_LIST ALLOWED_${folder} AND command MATCHES "-I${SOURCE_DIR}/${layer}( |$)")
          fail("${file}: compiled with ${layer}'s headers in reach")
        endif()
      endforeach()
    endif()
  endif()
endforeach()

string(REPLACE "," ";" QT_FREE_PROGRAMS "${QT_FREE_PROGRAMS}")
foreach(program ${QT_FREE_PROGRAMS})
  execute_process(COMMAND readelf -d ${program} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    fail("${program}: cannot be read")
  elseif(dynamic MATCHES "libQt")
    fail("${program}: loads Qt")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "Layer rules broken:\n${failures}")
endif()
message(STATUS "layers kept")
