# SPDX-License-Identifier: GPL-3.0-or-later
"""pip's build of the package dot11b: CMake builds the extension, the library and the modules it opens that
need no Qt, and installs them into the package's folder (the CMake component python_wheel).

    python3 -m venv --system-site-packages venv
    venv/bin/pip install --no-build-isolation ./python

By default the project is configured and built here without windows, tests or benchmarks. With
DOT11B_CMAKE_BUILD_DIR naming a configured build folder (build/ of scripts/build.sh), that folder's build is
brought up to date and used instead, and setuptools keeps its own files there too.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = pathlib.Path(__file__).resolve().parent.parent
REUSED_BUILD = os.environ.get("DOT11B_CMAKE_BUILD_DIR")


def project_version():
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(\w+ VERSION ([0-9.]+)", text).group(1)


def configure(build):
    args = ["-DCMAKE_BUILD_TYPE=Release", "-DDOT11B_BUILD_WINDOWS=OFF", "-DDOT11B_BUILD_TESTS=OFF",
            "-DDOT11B_BUILD_BENCH=OFF", f"-DPython3_EXECUTABLE={sys.executable}"]
    subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(build), "-G", "Ninja", *args], check=True)


class CMakeBuild(build_ext):
    """Builds the extension and the libraries with CMake and copies them, stripped, into the package."""

    def build_extension(self, ext):
        build = pathlib.Path(REUSED_BUILD or pathlib.Path(self.build_temp).resolve() / "cmake")
        if not REUSED_BUILD:
            configure(build)
        subprocess.run(["cmake", "--build", str(build), "--target", "dot11b_python_wheel_files"], check=True)
        staging = pathlib.Path(self.build_temp).resolve() / "staging"
        shutil.rmtree(staging, ignore_errors=True)
        subprocess.run(["cmake", "--install", str(build), "--component", "python_wheel", "--prefix", str(staging),
                        "--strip"], check=True)
        extension = pathlib.Path(self.get_ext_fullpath(ext.name))
        if not (staging / "dot11b" / extension.name).exists():
            raise RuntimeError(f"{build} holds no {extension.name}: it was configured for another Python")
        shutil.copytree(staging / "dot11b", extension.parent, dirs_exist_ok=True)


# Setuptools' own folders: in the reused build folder, else beside this file.
own_folders = {}
if REUSED_BUILD:
    base = pathlib.Path(REUSED_BUILD).resolve() / "pip"
    base.mkdir(parents=True, exist_ok=True)
    own_folders = {"build": {"build_base": str(base)}, "egg_info": {"egg_base": str(base)}}

setup(
    name="dot11b-wavegen",
    version=project_version(),
    description="IEEE 802.11b-1999 DSSS frames as numpy arrays, from the dot11b-wavegen library",
    license="GPL-3.0-or-later",
    license_files=["../LICENSE"],
    classifiers=["License :: OSI Approved :: GNU General Public License v3 or later (GPLv3+)",
                 "Programming Language :: C++", "Topic :: Scientific/Engineering"],
    install_requires=["numpy"],
    packages=["dot11b"],
    package_data={"dot11b": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("dot11b._dot11b", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options=own_folders,
)
