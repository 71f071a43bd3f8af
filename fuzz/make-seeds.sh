#!/usr/bin/env bash
# fuzz/make-seeds.sh BUILD: remakes the seed corpora in fuzz/corpus from the program's own data
# and from files tellvane-cli in BUILD/bin writes (.enc files under the pass phrase "fuzz").
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(cd "$1" && pwd)/bin/tellvane-cli"
corpus="$root/fuzz/corpus"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

# .enc: every cipher and "All at once", bodies around the block sizes (the partial-block rule).
rm -rf "$corpus/enc_header" "$corpus/enc_decrypt" "$corpus/base64"
mkdir -p "$corpus/enc_header" "$corpus/enc_decrypt" "$corpus/base64"
sizes=(0 1 7 8 9 15 16 17 33 100 250)
i=0
printf 'fuzz\n' >"$work/pass"
for algo in $(seq 0 18); do
  size=${sizes[$((i % ${#sizes[@]}))]}
  mkdir -p "$work/$algo"
  name="$work/$algo/f$i.txt"
  head -c "$size" /dev/urandom >"$name"
  "$cli" encrypt -a "$algo" -p "$work/pass" "$name" >/dev/null
  sign="$(head -c 3 "$name.enc")"
  [ "$algo" = 18 ] && sign=ALL
  cp "$name.enc" "$corpus/enc_decrypt/$sign-$size.enc"
  # The header target needs only the header and a little of the body.
  head -c 64 "$name.enc" >"$corpus/enc_header/$sign.enc"
  # The stored name's Base64 text.
  len=$(od -An -tu4 -j7 -N4 "$name.enc" | tr -d ' ')
  tail -c +12 "$name.enc" | head -c "$len" >"$corpus/base64/$sign.txt"
  i=$((i + 1))
done
printf 'QQ==' >"$corpus/base64/pad2.txt"
printf 'QUI=' >"$corpus/base64/pad1.txt"
printf 'QUJD' >"$corpus/base64/nopad.txt"
printf 'QUJDRA' >"$corpus/base64/short.txt"

# C2P: files of the independent writer under the cheapest stretching (1 pass, 8 KiB), which the
# target runs in full: an empty body, a short one and one just past a chunk.
rm -rf "$corpus/c2p_decrypt" && mkdir -p "$corpus/c2p_decrypt"
printf 'fuzz' >"$work/c2p-pass"
for size in 0 100 65537; do
  head -c "$size" /dev/urandom >"$work/c$size.txt"
  /usr/bin/python3 "$root/tests/cli/lib/c2p_file.py" encrypt "$work/c2p-pass" "$work/c$size.txt" \
    "$corpus/c2p_decrypt/c2p-$size.enc" 1 8
done

# INI: the description files, and base.dat and options.ini as the program writes them.
rm -rf "$corpus/ini" && mkdir -p "$corpus/ini"
cp "$root"/data/*.ini "$corpus/ini/"
mkdir -p "$work/h"
mkdir -p "$work/h/folder"
touch "$work/h/a file" "$work/h/'quoted'" "$work/h/ blank"
printf 'main pass\n' >"$work/main"
"$cli" hide -P "$work/main" "$work/h/a file" "$work/h/'quoted'" "$work/h/ blank" "$work/h/folder" >/dev/null
cp "$XDG_CONFIG_HOME"/*/base.dat "$corpus/ini/base.dat"
cp "$XDG_CONFIG_HOME"/*/options.ini "$corpus/ini/options.ini" 2>/dev/null || true
printf '[Options]\nLanguageID=1031\nIntegrateContextMenu=1\nCascadeContextMenu=0x1\nSize=1,5\nWhen=45000.5\n' \
  >"$corpus/ini/options-typed.ini"
printf '[Password]\nPassword=" two blanks "\n[Count]\nCount=$2\n[Item0]\nItemType=1\nFilePath=/x\n[item1]\nitemtype=-1\nfilepath="\x27q\x27"\n' \
  >"$corpus/ini/base-quoted.dat"
printf '\xff\xfe[\0C\0o\0u\0n\0t\0]\0\n\0C\0o\0u\0n\0t\0=\x001\0\n\0' >"$corpus/ini/utf16.dat"

# Language files: the German file, cut into pieces, and in UTF-16; the first byte picks a code page.
rm -rf "$corpus/language_file" && mkdir -p "$corpus/language_file"
lng="$root/data/German.lng"
{ printf '\x00'; cat "$lng"; } >"$corpus/language_file/German.lng"
{ printf '\x00'; head -c 600 "$lng"; } >"$corpus/language_file/German-head.lng"
{ printf '\x00'; grep -A12 -F '[$CONSTANTS]' "$lng"; } >"$corpus/language_file/constants.lng"
{ printf '\x0e\xff\xfe'; head -c 400 "$lng" | iconv -f UTF-8 -t UTF-16LE; } >"$corpus/language_file/utf16le.lng"
{ printf '\x0e\xfe\xff'; head -c 400 "$lng" | iconv -f UTF-8 -t UTF-16BE; } >"$corpus/language_file/utf16be.lng"
printf '\x00LANGID=1031\n[$CONSTANTS]\nA=1\\n2\\t3\\\\4\\65\n[Form1]\n1=x\n2=y\n' >"$corpus/language_file/small.lng"
printf '\x02LANGID=1049\n[$CONSTANTS]\nB=\xcf\xf0\xe8\n' >"$corpus/language_file/cp1251.lng"

# "todo": paths in every encoding; the first byte picks the code page.
rm -rf "$corpus/text_lines" && mkdir -p "$corpus/text_lines"
printf '\x00/home/a/one\n/home/a/two\r\n/home/a/three\r\n' >"$corpus/text_lines/plain"
printf '\x00\xef\xbb\xbf/home/a/\xc3\xa4\n\n/x' >"$corpus/text_lines/utf8bom"
{ printf '\x00\xff\xfe'; printf '/home/a/\xc3\xa4\r\n/b\n' | iconv -f UTF-8 -t UTF-16LE; } >"$corpus/text_lines/utf16le"
{ printf '\x00\xfe\xff'; printf '/home/a/\xc3\xa4\r/b\n' | iconv -f UTF-8 -t UTF-16BE; } >"$corpus/text_lines/utf16be"
printf '\x00/home/\xe4\xf6\xfc\n' >"$corpus/text_lines/cp1252"
printf '\x0a/home/\x82\xa0\n' >"$corpus/text_lines/cp932"

# uca.xml: the empty list, a user's own list, and lists with our entries in both layouts.
rm -rf "$corpus/thunar_actions" && mkdir -p "$corpus/thunar_actions"
empty='<?xml version="1.0" encoding="UTF-8"?>\n<actions>\n</actions>\n'
printf "$empty" >"$corpus/thunar_actions/empty.xml"
own='<action>\n\t<icon>tellvane</icon>\n\t<name>Encrypt</name>\n\t<submenu>Tellvane</submenu>\n\t<unique-id>tellvane-encrypt</unique-id>\n\t<command>%s /encrypt %%F</command>\n\t<patterns>*</patterns>\n\t<directories/>\n</action>\n'
user='<action>\n\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n\t<unique-id>1234-1</unique-id>\n\t<command>exo-open --working-directory %%f</command>\n\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n'
printf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n$user</actions>\n" >"$corpus/thunar_actions/user.xml"
printf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n$user$own</actions>\n" "'/opt/t/tellvane-menu-helper'" \
  >"$corpus/thunar_actions/both.xml"
printf "<actions>\n  $own  $user</actions>" "'/opt/t/tellvane-menu-helper'" >"$corpus/thunar_actions/indented.xml"
printf '<?xml version="1.0"?>\n<actions>\n<action><name>cut off' >"$corpus/thunar_actions/broken.xml"

# Mount tables: a typical desktop's, a server's, and escapes and covered mounts.
rm -rf "$corpus/mounts" && mkdir -p "$corpus/mounts"
printf '/dev/vda1 / ext4 rw 0 0\n/dev/vdb /srv xfs rw 0 0\nnas:/home /home nfs4 rw 0 0\ntmpfs /run tmpfs rw 0 0\n' \
  >"$corpus/mounts/server"
printf '/dev/sdb1 /media/a/My\\040Disk\\011\\134x vfat rw 0 0\n/dev/sdb1 /media/a/My\\040Disk\\011\\134x/ exfat rw 0 0\n' \
  >"$corpus/mounts/escapes"
printf '/dev/sda2 / ext4 rw 0 0\n/dev/sda3 / btrfs rw 0 0\n/dev/mapper/cr /mnt/x ext4 rw 0 0\n/dev/disk/by-label/L /mnt/y ext4 rw 0 0\n' \
  >"$corpus/mounts/covered"
cat >"$corpus/mounts/desktop" <<'MOUNTS'
sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0
proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0
/dev/nvme0n1p3 / ext4 rw,relatime,errors=remount-ro 0 0
/dev/nvme0n1p2 /boot ext4 rw,relatime 0 0
/dev/sdb1 /media/anna/USB\040STICK vfat rw,nosuid,nodev 0 0
/dev/sr0 /media/anna/CDROM iso9660 ro 0 0
server:/export /mnt/nfs nfs4 rw 0 0
//nas/share /mnt/smb cifs rw 0 0
tmpfs /mnt/ram tmpfs rw 0 0
/dev/mmcblk0p1 /media/anna/SD exfat rw 0 0
/dev/sda1 /data/ ext4 rw 0 0
/dev/sda2 /data ext4 rw 0 0
MOUNTS
du -sh "$corpus"
