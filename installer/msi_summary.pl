#!/usr/bin/perl
# Makes an MSI built by wixl the same bytes on every build: wixl writes a
# random package code and the current time into the summary information
# stream. This sets the package code given (derived from the package's
# contents) and both times to SOURCE_DATE_EPOCH, in place. The stream is found
# by its format ID and checked field by field before anything is written; a
# layout other than the expected one stops the build.
# Usage: msi_summary.pl <file.msi> <{PACKAGE-CODE}> <unix-time>
use strict;
use warnings;

my ($path, $package_code, $epoch) = @ARGV;
die "usage: $0 <file.msi> <{PACKAGE-CODE}> <unix-time>\n" unless defined $epoch;
die "$0: package code '$package_code' is not {GUID}\n"
  unless $package_code =~ /^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$/;
die "$0: time '$epoch' is not seconds\n" unless $epoch =~ /^[0-9]{1,12}$/;

open(my $in, '<:raw', $path) or die "$0: $path: $!\n";
my $data = do { local $/; <$in> };
close($in);

# FMTID_SummaryInformation, as stored (little-endian fields).
my $fmtid = pack('H*', 'e0859ff2f94f6810ab9108002b27b3d9');
my $at = index($data, $fmtid);
die "$0: $path: no summary information\n" if $at < 28;
die "$0: $path: summary format ID found twice\n" if index($data, $fmtid, $at + 1) >= 0;
my $stream = $at - 28;    # byte order, version, system, class ID, section count
die "$0: $path: summary stream header not as expected\n"
  unless unpack('v', substr($data, $stream, 2)) == 0xFFFE && unpack('V', substr($data, $stream + 24, 4)) == 1;
my $section = $stream + unpack('V', substr($data, $at + 16, 4));
my ($section_size, $count) = unpack('VV', substr($data, $section, 8));
die "$0: $path: summary section out of range\n"
  if $count > 32 || $section + $section_size > length($data);

my %offset_of;
for my $index (0 .. $count - 1) {
  my ($id, $offset) = unpack('VV', substr($data, $section + 8 + 8 * $index, 8));
  die "$0: $path: summary property out of range\n" if $offset + 8 > $section_size;
  $offset_of{$id} = $section + $offset;
}

use constant { PID_REVNUMBER => 9, PID_CREATE_DTM => 12, PID_LASTSAVE_DTM => 13,
               VT_LPSTR => 30, VT_FILETIME => 64 };
my $code_at = $offset_of{+PID_REVNUMBER} // die "$0: $path: no package code\n";
die "$0: $path: package code is not a 39-byte string\n"
  unless $code_at + 47 <= $section + $section_size
  && unpack('V', substr($data, $code_at, 4)) == VT_LPSTR && unpack('V', substr($data, $code_at + 4, 4)) == 39
  && substr($data, $code_at + 8, 39) =~ /^\{[0-9A-Fa-f-]{36}\}\0$/;
substr($data, $code_at + 8, 38) = $package_code;

# FILETIME: 100 ns steps since 1601-01-01.
my $filetime = pack('Q<', ($epoch + 11644473600) * 10000000);
for my $id (PID_CREATE_DTM, PID_LASTSAVE_DTM) {
  my $time_at = $offset_of{$id} // die "$0: $path: no time $id\n";
  die "$0: $path: time $id is not a FILETIME\n"
    unless $time_at + 12 <= $section + $section_size && unpack('V', substr($data, $time_at, 4)) == VT_FILETIME;
  substr($data, $time_at + 4, 8) = $filetime;
}

open(my $out, '>:raw', "$path.tmp") or die "$0: $path.tmp: $!\n";
print {$out} $data or die "$0: $path.tmp: $!\n";
close($out) or die "$0: $path.tmp: $!\n";
rename("$path.tmp", $path) or die "$0: $path: $!\n";
